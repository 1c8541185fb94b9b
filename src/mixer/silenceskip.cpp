#include "silenceskip.h"

#include <array>
#include <cstddef>

bool skipOnSilence(int positionMs, int lengthSeconds)
{
    if (lengthSeconds <= 0)
        return false;
    return static_cast<double>(positionMs) / lengthSeconds > 850.0;
}

int silenceDetectMs(int option)
{
    static constexpr std::array<int, 7> kMs{0, 500, 1000, 1500, 2000, 3000, 5000};
    if (option < 0 || option >= static_cast<int>(kMs.size()))
        return 0;
    return kMs[static_cast<std::size_t>(option)];
}
