#pragma once

#include <QString>

#include <optional>

// What is known about one song's loudness.
struct LoudnessMeasurement
{
    // Where the figures come from.
    enum class Source
    {
        Measured,
        GainTags,
    };
    // Integrated loudness in LUFS (EBU R128).
    double loudnessLufs = 0.0;
    // The highest true peak of any channel, in dB relative to full scale.
    double truePeakDbtp = 0.0;
    Source source = Source::Measured;
};

// How a measurement ended. A file that was not measured plays at unity gain.
struct LoudnessResult
{
    enum class Outcome
    {
        Measured,
        // Not measurable (not a regular file, no audio, undecodable, silent,
        // changed or gone while measured); `failure` says why.
        NotMeasured,
        // Given up because the measurer was asked to stop; nothing is known.
        Stopped,
        // The measurer itself could not work (its helper program missing or
        // ending by itself); nothing is known of the file, which is measured
        // again with the next work. `failure` says why.
        Unavailable,
    };
    Outcome outcome = Outcome::NotMeasured;
    std::optional<LoudnessMeasurement> measurement;
    QString failure;

    static LoudnessResult notMeasured(const QString &why)
    {
        return {Outcome::NotMeasured, std::nullopt, why};
    }
};
