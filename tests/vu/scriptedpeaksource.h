#pragma once

#include "vu/peaksource.h"

// Answers every read with the readings set by the test; `available` false
// behaves like a missing peak meter.
class ScriptedPeakSource final : public PeakSource
{
public:
    struct Script
    {
        bool available = true;
        qint32 left = 0;
        qint32 right = 0;
        int reads = 0;
    };

    explicit ScriptedPeakSource(Script &script)
        : m_script(script)
    {}

    bool read(qint32 &left, qint32 &right) override
    {
        ++m_script.reads;
        if (!m_script.available)
            return false;
        left = m_script.left;
        right = m_script.right;
        return true;
    }

private:
    Script &m_script;
};
