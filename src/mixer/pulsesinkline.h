#pragma once

#include "mixerline.h"

#include <atomic>
#include <mutex>
#include <string>

struct pa_context;
struct pa_mainloop_api;
struct pa_threaded_mainloop;
struct pa_time_event;

// The default output's volume and mute through the PulseAudio client library
// (PipeWire serves the same interface). The client runs on its own thread; it
// follows changes made elsewhere as the server announces them, so reads only
// pick up the last known state. Writes are sent without waiting for the
// answer. Without a server the line is unavailable and tries again, every
// second for the first seconds and then every eight seconds.
class PulseSinkLine final : public MixerLine
{
public:
    static constexpr int kRetryMs = 1000;
    static constexpr int kQuickRetries = 5;
    static constexpr int kLongestRetryMs = 8000;

    // How long to wait after the given number of failed tries in a row.
    static constexpr int retryDelayMs(int failedTries)
    {
        return failedTries <= kQuickRetries ? kRetryMs : kLongestRetryMs;
    }

    PulseSinkLine();
    ~PulseSinkLine() override;

    PulseSinkLine(const PulseSinkLine &) = delete;
    PulseSinkLine &operator=(const PulseSinkLine &) = delete;

    QString unavailableReason() const override;
    int volume() const override;
    void setVolume(int percent) override;
    bool muted() const override;
    void setMuted(bool muted) override;

private:
    void connectContext();
    void dropContext();
    void scheduleRetry();
    void retry();
    void refresh();
    void onContextState();

    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    pa_time_event *m_retry = nullptr;
    int m_failedTries = 0; // on the client thread

    mutable std::mutex m_mutex; // guards m_sink
    std::string m_sink;
    std::atomic<bool> m_ready{false};
    std::atomic<int> m_volume{0};
    std::atomic<bool> m_muted{false};
    std::atomic<int> m_channels{2};
};
