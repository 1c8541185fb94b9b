#include "pulsesinkline.h"

// The PulseAudio client exists on Linux only.
#ifndef _WIN32

#include <pulse/pulseaudio.h>

#include <algorithm>

PulseSinkLine::PulseSinkLine()
{
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop)
        return;
    pa_threaded_mainloop_set_name(m_loop, "master-line");
    if (pa_threaded_mainloop_start(m_loop) < 0) {
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    connectContext();
    pa_threaded_mainloop_unlock(m_loop);
}

PulseSinkLine::~PulseSinkLine()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    if (m_retry) {
        pa_threaded_mainloop_get_api(m_loop)->time_free(m_retry);
        m_retry = nullptr;
    }
    dropContext();
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

QString PulseSinkLine::unavailableReason() const
{
    if (!m_loop)
        return QStringLiteral("The sound server client could not be started.");
    if (!m_ready.load())
        return QStringLiteral("No sound server or no output to control.");
    return {};
}

int PulseSinkLine::volume() const
{
    return m_volume.load();
}

bool PulseSinkLine::muted() const
{
    return m_muted.load();
}

void PulseSinkLine::setVolume(int percent)
{
    if (!m_loop || !m_ready.load())
        return;
    percent = std::clamp(percent, 0, 100);
    pa_threaded_mainloop_lock(m_loop);
    if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
        pa_cvolume volume;
        pa_cvolume_set(
            &volume, static_cast<unsigned>(std::max(1, m_channels.load())),
            static_cast<pa_volume_t>(PA_VOLUME_NORM * static_cast<double>(percent) / 100.0));
        std::string sink;
        {
            std::lock_guard lock(m_mutex);
            sink = m_sink;
        }
        if (pa_operation *op = pa_context_set_sink_volume_by_name(m_context, sink.c_str(), &volume,
                                                                  nullptr, nullptr))
            pa_operation_unref(op);
        m_volume = percent;
    }
    pa_threaded_mainloop_unlock(m_loop);
}

void PulseSinkLine::setMuted(bool muted)
{
    if (!m_loop || !m_ready.load())
        return;
    pa_threaded_mainloop_lock(m_loop);
    if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
        std::string sink;
        {
            std::lock_guard lock(m_mutex);
            sink = m_sink;
        }
        if (pa_operation *op = pa_context_set_sink_mute_by_name(m_context, sink.c_str(),
                                                                muted ? 1 : 0, nullptr, nullptr))
            pa_operation_unref(op);
        m_muted = muted;
    }
    pa_threaded_mainloop_unlock(m_loop);
}

void PulseSinkLine::connectContext()
{
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "VORN Mixer");
    if (!m_context) {
        scheduleRetry();
        return;
    }
    pa_context_set_state_callback(
        m_context,
        [](pa_context *, void *self) { static_cast<PulseSinkLine *>(self)->onContextState(); },
        this);
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        dropContext();
        scheduleRetry();
    }
}

void PulseSinkLine::dropContext()
{
    m_ready = false;
    if (!m_context)
        return;
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

void PulseSinkLine::scheduleRetry()
{
    if (m_retry)
        return;
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, static_cast<pa_usec_t>(retryDelayMs(++m_failedTries)) * PA_USEC_PER_MSEC);
    pa_mainloop_api *api = pa_threaded_mainloop_get_api(m_loop);
    m_retry = api->time_new(
        api, &when,
        [](pa_mainloop_api *, pa_time_event *, const struct timeval *, void *self) {
            static_cast<PulseSinkLine *>(self)->retry();
        },
        this);
}

void PulseSinkLine::retry()
{
    pa_threaded_mainloop_get_api(m_loop)->time_free(m_retry);
    m_retry = nullptr;
    if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
        refresh();
        return;
    }
    dropContext();
    connectContext();
}

void PulseSinkLine::refresh()
{
    pa_operation *op = pa_context_get_server_info(
        m_context,
        [](pa_context *context, const pa_server_info *info, void *data) {
            auto *self = static_cast<PulseSinkLine *>(data);
            if (!info || !info->default_sink_name || !*info->default_sink_name) {
                self->m_ready = false;
                self->scheduleRetry();
                return;
            }
            pa_operation *sinkOp = pa_context_get_sink_info_by_name(
                context, info->default_sink_name,
                [](pa_context *, const pa_sink_info *sink, int eol, void *inner) {
                    auto *me = static_cast<PulseSinkLine *>(inner);
                    if (eol < 0) {
                        me->m_ready = false;
                        me->scheduleRetry();
                        return;
                    }
                    if (!sink)
                        return;
                    {
                        std::lock_guard lock(me->m_mutex);
                        me->m_sink = sink->name;
                    }
                    me->m_channels = sink->volume.channels;
                    me->m_volume = static_cast<int>(
                        (static_cast<double>(pa_cvolume_max(&sink->volume)) * 100.0) /
                            PA_VOLUME_NORM +
                        0.5);
                    me->m_muted = sink->mute != 0;
                    me->m_ready = true;
                    me->m_failedTries = 0;
                },
                data);
            if (sinkOp)
                pa_operation_unref(sinkOp);
        },
        this);
    if (op)
        pa_operation_unref(op);
}

void PulseSinkLine::onContextState()
{
    switch (pa_context_get_state(m_context)) {
    case PA_CONTEXT_READY: {
        pa_context_set_subscribe_callback(
            m_context,
            [](pa_context *, pa_subscription_event_type_t, uint32_t, void *self) {
                static_cast<PulseSinkLine *>(self)->refresh();
            },
            this);
        const auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK |
                                                              PA_SUBSCRIPTION_MASK_SERVER);
        if (pa_operation *op = pa_context_subscribe(m_context, mask, nullptr, nullptr))
            pa_operation_unref(op);
        refresh();
        break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        m_ready = false;
        scheduleRetry();
        break;
    default:
        break;
    }
}

#endif // _WIN32
