#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

// A parameterised case's name for GoogleTest and CTest: the case's own text
// with every character that a test name may not hold as "_", then the case's
// place in its table, which keeps names unique and the same from run to run.
inline std::string readableCaseName(const std::string &text, size_t index)
{
    std::string name;
    for (const char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    if (name.empty())
        name = "empty";
    return name + "_" + std::to_string(index);
}
