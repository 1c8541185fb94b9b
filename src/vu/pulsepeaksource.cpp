#include "pulsepeaksource.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// Peaks per second the server computes for the stream: one per update tick
// at the fastest update interval. They arrive two at a time, so the client
// thread wakes 50 times a second.
constexpr uint32_t kPeakRate = 100;
constexpr uint32_t kFramesPerFragment = 2;

qint64 nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

qint32 scaled(float peak)
{
    const float bounded = std::clamp(std::isfinite(peak) ? std::fabs(peak) : 0.0F, 0.0F, 1.0F);
    return static_cast<qint32>(std::lround(bounded * 32767.0F));
}

} // namespace

PulsePeakSource::PulsePeakSource()
{
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop)
        return;
    pa_threaded_mainloop_set_name(m_loop, "vu-peaks");
    if (pa_threaded_mainloop_start(m_loop) < 0) {
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    connectContext();
    pa_threaded_mainloop_unlock(m_loop);
}

PulsePeakSource::~PulsePeakSource()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    if (m_retry) {
        pa_threaded_mainloop_get_api(m_loop)->time_free(m_retry);
        m_retry = nullptr;
    }
    dropStream();
    dropContext();
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

bool PulsePeakSource::read(qint32 &left, qint32 &right)
{
    if (!m_streaming.load())
        return false;
    if (nowMs() - m_lastDataMs.load() > kStaleMs) {
        left = right = 0;
        return true;
    }
    left = m_left.load();
    right = m_right.load();
    return true;
}

void PulsePeakSource::connectContext()
{
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "VORN VU Meter");
    if (!m_context) {
        scheduleRetry();
        return;
    }
    pa_context_set_state_callback(m_context, &PulsePeakSource::contextStateCallback, this);
    // Never start a server of our own: no server means a dark meter.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        dropContext();
        scheduleRetry();
    }
}

void PulsePeakSource::dropStream()
{
    m_streaming = false;
    if (!m_stream)
        return;
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_read_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

void PulsePeakSource::dropContext()
{
    if (!m_context)
        return;
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

void PulsePeakSource::scheduleRetry()
{
    if (m_retry)
        return;
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, static_cast<pa_usec_t>(retryDelayMs(++m_failedTries)) * PA_USEC_PER_MSEC);
    m_retry = pa_threaded_mainloop_get_api(m_loop)->time_new(
        pa_threaded_mainloop_get_api(m_loop), &when, &PulsePeakSource::retryCallback, this);
}

void PulsePeakSource::retry()
{
    pa_threaded_mainloop_get_api(m_loop)->time_free(m_retry);
    m_retry = nullptr;
    if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
        if (!m_stream)
            findMonitor();
        return;
    }
    dropStream();
    dropContext();
    connectContext();
}

void PulsePeakSource::findMonitor()
{
    pa_operation *op = pa_context_get_server_info(
        m_context,
        [](pa_context *context, const pa_server_info *info, void *data) {
            auto *self = static_cast<PulsePeakSource *>(data);
            if (!info || !info->default_sink_name || !*info->default_sink_name) {
                self->scheduleRetry();
                return;
            }
            pa_operation *sinkOp = pa_context_get_sink_info_by_name(
                context, info->default_sink_name,
                [](pa_context *, const pa_sink_info *sink, int eol, void *inner) {
                    auto *me = static_cast<PulsePeakSource *>(inner);
                    if (eol < 0 || (eol > 0 && !me->m_stream)) {
                        if (!me->m_stream)
                            me->scheduleRetry();
                        return;
                    }
                    if (sink && sink->monitor_source_name && !me->m_stream)
                        me->openStream(sink->monitor_source_name);
                },
                data);
            if (sinkOp)
                pa_operation_unref(sinkOp);
            else
                self->scheduleRetry();
        },
        this);
    if (op)
        pa_operation_unref(op);
    else
        scheduleRetry();
}

void PulsePeakSource::openStream(const char *monitor)
{
    pa_sample_spec sampleSpec{};
    sampleSpec.format = PA_SAMPLE_FLOAT32NE;
    sampleSpec.rate = kPeakRate;
    sampleSpec.channels = 2;
    pa_channel_map map;
    pa_channel_map_init_stereo(&map);
    m_stream = pa_stream_new(m_context, "VU peaks", &sampleSpec, &map);
    if (!m_stream) {
        scheduleRetry();
        return;
    }
    m_monitor = monitor;
    pa_stream_set_state_callback(m_stream, &PulsePeakSource::streamStateCallback, this);
    pa_stream_set_read_callback(m_stream, &PulsePeakSource::readCallback, this);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = sizeof(float) * 2 * kFramesPerFragment;
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_DONT_MOVE | PA_STREAM_PEAK_DETECT |
                                                      PA_STREAM_ADJUST_LATENCY);
    if (pa_stream_connect_record(m_stream, monitor, &attr, flags) < 0) {
        dropStream();
        scheduleRetry();
    }
}

void PulsePeakSource::onContextState()
{
    switch (pa_context_get_state(m_context)) {
    case PA_CONTEXT_READY: {
        pa_context_set_subscribe_callback(
            m_context,
            [](pa_context *, pa_subscription_event_type_t type, uint32_t, void *data) {
                auto *self = static_cast<PulsePeakSource *>(data);
                // A new default output: measure that one instead.
                if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SERVER) {
                    self->dropStream();
                    self->findMonitor();
                }
            },
            this);
        if (pa_operation *op =
                pa_context_subscribe(m_context, PA_SUBSCRIPTION_MASK_SERVER, nullptr, nullptr))
            pa_operation_unref(op);
        findMonitor();
        break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        // The server went away: start over from a new context shortly.
        m_streaming = false;
        scheduleRetry();
        break;
    default:
        break;
    }
}

void PulsePeakSource::onStreamState()
{
    switch (pa_stream_get_state(m_stream)) {
    case PA_STREAM_READY:
        m_failedTries = 0;
        m_lastDataMs = nowMs();
        m_left = m_right = 0;
        m_streaming = true;
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        // The monitor is gone (its output removed): find the default again.
        dropStream();
        scheduleRetry();
        break;
    default:
        break;
    }
}

void PulsePeakSource::onData()
{
    const void *data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(m_stream) > 0) {
        if (pa_stream_peek(m_stream, &data, &bytes) < 0)
            return;
        if (bytes == 0)
            return;
        if (data) {
            const auto *samples = static_cast<const float *>(data);
            const size_t frames = bytes / (2 * sizeof(float));
            if (frames > 0) {
                // The highest peak of each channel in this fragment.
                qint32 left = 0;
                qint32 right = 0;
                for (size_t frame = 0; frame < frames; ++frame) {
                    left = std::max(left, scaled(samples[frame * 2]));
                    right = std::max(right, scaled(samples[frame * 2 + 1]));
                }
                m_left = left;
                m_right = right;
                m_lastDataMs = nowMs();
            }
        }
        pa_stream_drop(m_stream);
    }
}

void PulsePeakSource::contextStateCallback(pa_context *, void *self)
{
    static_cast<PulsePeakSource *>(self)->onContextState();
}

void PulsePeakSource::streamStateCallback(pa_stream *, void *self)
{
    static_cast<PulsePeakSource *>(self)->onStreamState();
}

void PulsePeakSource::readCallback(pa_stream *, size_t, void *self)
{
    static_cast<PulsePeakSource *>(self)->onData();
}

void PulsePeakSource::retryCallback(pa_mainloop_api *, pa_time_event *, const struct timeval *,
                                    void *self)
{
    static_cast<PulsePeakSource *>(self)->retry();
}
