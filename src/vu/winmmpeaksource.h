#pragma once

#include "peaksource.h"

// The peak meter of the wave-output line of mixer device 0, through the
// Windows multimedia mixer calls. Compiled on Windows only. A missing device,
// line or meter makes every read fail.
class WinMmPeakSource final : public PeakSource
{
public:
    WinMmPeakSource();
    ~WinMmPeakSource() override;

    WinMmPeakSource(const WinMmPeakSource &) = delete;
    WinMmPeakSource &operator=(const WinMmPeakSource &) = delete;

    bool read(qint32 &left, qint32 &right) override;

private:
    void *m_mixer = nullptr; // HMIXER
    unsigned long m_controlId = 0;
    unsigned long m_channels = 0;
    bool m_ready = false;
};
