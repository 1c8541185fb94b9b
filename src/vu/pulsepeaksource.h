#pragma once

#include "peaksource.h"

#include <atomic>
#include <string>

struct pa_context;
struct pa_mainloop_api;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;

// The peak meter of the default output's monitor, through the PulseAudio
// client library (PipeWire serves the same interface). The client runs on its
// own thread (the library's threaded main loop): read() only picks up the
// latest values and never waits. Without a server, an output or a monitor,
// read() answers false; the source keeps trying, every half second for the
// first seconds (a server that restarts is back at once) and then every
// eight seconds (a machine without a server costs next to nothing), so it comes
// back by itself when the server does, and follows a change of the default
// output.
class PulsePeakSource final : public PeakSource
{
public:
    // Readings older than this are taken as silence: the output has stopped
    // delivering (for instance suspended).
    static constexpr int kStaleMs = 300;
    static constexpr int kRetryMs = 500;
    static constexpr int kQuickRetries = 8;
    static constexpr int kLongestRetryMs = 8000;

    // How long to wait after the given number of failed tries in a row.
    static constexpr int retryDelayMs(int failedTries)
    {
        return failedTries <= kQuickRetries ? kRetryMs : kLongestRetryMs;
    }

    PulsePeakSource();
    ~PulsePeakSource() override;

    PulsePeakSource(const PulsePeakSource &) = delete;
    PulsePeakSource &operator=(const PulsePeakSource &) = delete;

    bool read(qint32 &left, qint32 &right) override;

private:
    // All below run on the client thread (or with its lock held).
    void connectContext();
    void dropStream();
    void dropContext();
    void scheduleRetry();
    void retry();
    void findMonitor();
    void openStream(const char *monitor);
    void onContextState();
    void onStreamState();
    void onData();

    static void contextStateCallback(pa_context *context, void *self);
    static void streamStateCallback(pa_stream *stream, void *self);
    static void readCallback(pa_stream *stream, size_t bytes, void *self);
    static void retryCallback(pa_mainloop_api *api, pa_time_event *event, const struct timeval *,
                              void *self);

    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;
    pa_time_event *m_retry = nullptr;
    int m_failedTries = 0;
    std::string m_monitor;

    std::atomic<bool> m_streaming{false};
    std::atomic<qint32> m_left{0};
    std::atomic<qint32> m_right{0};
    std::atomic<qint64> m_lastDataMs{0};
};
