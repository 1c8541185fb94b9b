#pragma once

#include <QtGlobal>

// Where the meter's readings come from: the output peak of each channel at
// the playback point, scaled to -32768..32767.
class PeakSource
{
public:
    virtual ~PeakSource() = default;

    // The latest peak of the left and right channel. False when there is
    // nothing to read (no sound server, no output, no monitor); the caller
    // then ends its tick without a word.
    virtual bool read(qint32 &left, qint32 &right) = 0;
};
