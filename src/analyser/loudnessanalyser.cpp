#include "loudnessanalyser.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <ebur128.h>
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

// The read block handed to the demuxer.
constexpr int kIoBlockBytes = 64 * 1024;
// A file that keeps failing to decode is given up long before its end: this
// many packets in a row that the decoder refuses.
constexpr int kMaxDecodeErrorsInARow = 200;
// The least part of its announced length a song must decode to be measured.
constexpr double kLeastDecodedShare = 0.5;

struct Stamp
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 mtimeNs = 0;

    bool operator==(const Stamp &) const = default;
};

Stamp stampOf(const struct stat &info)
{
    return {info.st_dev, info.st_ino, info.st_size,
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

struct IoState
{
    int fd;
    const std::atomic<bool> *stop;
    const LoudnessAnalyser::ReadObserver *onRead;
    qint64 bytesRead = 0;
};

int readBlock(void *opaque, uint8_t *buffer, int size)
{
    auto *io = static_cast<IoState *>(opaque);
    for (;;) {
        const ssize_t n = ::read(io->fd, buffer, static_cast<size_t>(size));
        if (n > 0) {
            io->bytesRead += n;
            if (*io->onRead)
                (*io->onRead)(io->bytesRead);
            return static_cast<int>(n);
        }
        if (n == 0)
            return AVERROR_EOF;
        if (errno != EINTR)
            return AVERROR(errno);
    }
}

int64_t seekTo(void *opaque, int64_t offset, int whence)
{
    const auto *io = static_cast<const IoState *>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat info{};
        return ::fstat(io->fd, &info) == 0 ? static_cast<int64_t>(info.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(io->fd, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : static_cast<int64_t>(at);
}

int interrupted(void *opaque)
{
    const auto *stop = static_cast<const std::atomic<bool> *>(opaque);
    return stop && stop->load(std::memory_order_relaxed) ? 1 : 0;
}

struct IoContextFree
{
    void operator()(AVIOContext *io) const
    {
        if (io)
            av_freep(&io->buffer);
        avio_context_free(&io);
    }
};
struct FormatClose
{
    void operator()(AVFormatContext *format) const { avformat_close_input(&format); }
};
struct CodecFree
{
    void operator()(AVCodecContext *codec) const { avcodec_free_context(&codec); }
};
struct ResamplerFree
{
    void operator()(SwrContext *resampler) const { swr_free(&resampler); }
};
struct PacketFree
{
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};
struct FrameFree
{
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
};
struct MeterFree
{
    void operator()(ebur128_state *meter) const { ebur128_destroy(&meter); }
};

QString errorText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

// One measurement from an open regular file to its figures.
class Measurer
{
public:
    Measurer(int fd, const std::atomic<bool> *stop, const LoudnessAnalyser::ReadObserver &onRead)
        : m_io{fd, stop, &onRead}
    {
    }

    LoudnessResult run()
    {
        if (const QString failure = open(); !failure.isEmpty())
            return stopped() ? LoudnessResult{LoudnessResult::Outcome::Stopped, {}, {}}
                             : LoudnessResult::notMeasured(failure);
        const QString failure = decodeAll();
        if (stopped())
            return {LoudnessResult::Outcome::Stopped, {}, {}};
        if (!failure.isEmpty())
            return LoudnessResult::notMeasured(failure);
        return figures();
    }

private:
    bool stopped() const { return m_io.stop && m_io.stop->load(std::memory_order_relaxed); }

    QString open()
    {
        auto *buffer = static_cast<unsigned char *>(av_malloc(kIoBlockBytes));
        if (!buffer)
            return QStringLiteral("out of memory");
        m_ioContext.reset(
            avio_alloc_context(buffer, kIoBlockBytes, 0, &m_io, readBlock, nullptr, seekTo));
        if (!m_ioContext) {
            av_free(buffer);
            return QStringLiteral("out of memory");
        }
        AVFormatContext *format = avformat_alloc_context();
        if (!format)
            return QStringLiteral("out of memory");
        format->pb = m_ioContext.get();
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        format->interrupt_callback = {interrupted, const_cast<std::atomic<bool> *>(m_io.stop)};
        // No protocol at all for anything the file refers to: a play list or
        // a reference inside the file opens nothing else.
        AVDictionary *options = nullptr;
        av_dict_set(&options, "protocol_whitelist", "none", 0);
        const int opened = avformat_open_input(&format, nullptr, nullptr, &options);
        av_dict_free(&options);
        if (opened < 0)
            return QStringLiteral("not a media file (%1)").arg(errorText(opened));
        m_format.reset(format);
        if (const int found = avformat_find_stream_info(format, nullptr); found < 0)
            return QStringLiteral("unreadable media file (%1)").arg(errorText(found));

        const AVCodec *decoder = nullptr;
        m_stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
        if (m_stream < 0 || !decoder)
            return QStringLiteral("no audio stream");
        m_codec.reset(avcodec_alloc_context3(decoder));
        if (!m_codec)
            return QStringLiteral("out of memory");
        if (avcodec_parameters_to_context(m_codec.get(), format->streams[m_stream]->codecpar) < 0)
            return QStringLiteral("unusable audio stream");
        m_codec->thread_count = 1;
        if (const int ready = avcodec_open2(m_codec.get(), decoder, nullptr); ready < 0)
            return QStringLiteral("no decoder for the audio (%1)").arg(errorText(ready));
        if (m_codec->sample_rate <= 0 || m_codec->ch_layout.nb_channels <= 0)
            return QStringLiteral("audio without sample rate or channels");
        m_packet.reset(av_packet_alloc());
        m_frame.reset(av_frame_alloc());
        if (!m_packet || !m_frame)
            return QStringLiteral("out of memory");
        return {};
    }

    // Sets up conversion and metering for the first decoded frame's format.
    QString prepare(const AVFrame &frame)
    {
        m_rate = frame.sample_rate > 0 ? frame.sample_rate : m_codec->sample_rate;
        AVChannelLayout in{};
        if (frame.ch_layout.nb_channels > 0 && frame.ch_layout.order != AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_copy(&in, &frame.ch_layout);
        else
            av_channel_layout_default(&in, std::max(frame.ch_layout.nb_channels,
                                                    m_codec->ch_layout.nb_channels));
        m_inChannels = in.nb_channels;
        AVChannelLayout out{};
        if (in.nb_channels <= 2)
            av_channel_layout_copy(&out, &in);
        else
            out = AV_CHANNEL_LAYOUT_STEREO;
        m_channels = out.nb_channels;
        SwrContext *resampler = nullptr;
        const int made =
            swr_alloc_set_opts2(&resampler, &out, AV_SAMPLE_FMT_FLT, m_rate, &in,
                                static_cast<AVSampleFormat>(frame.format), m_rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        av_channel_layout_uninit(&out);
        m_resampler.reset(resampler);
        if (made < 0 || swr_init(resampler) < 0)
            return QStringLiteral("audio format not convertible");
        // The histogram keeps what the integrated loudness needs in a fixed
        // table (in steps of a tenth of a LU) instead of a list that grows
        // with every 100 ms of audio: a ten-hour file costs what a song costs.
        m_meter.reset(ebur128_init(static_cast<unsigned>(m_channels), static_cast<unsigned long>(m_rate),
                                   EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK |
                                       EBUR128_MODE_HISTOGRAM));
        if (!m_meter)
            return QStringLiteral("audio format not measurable");
        m_format0 = frame.format;
        return {};
    }

    QString meter(const AVFrame &frame)
    {
        if (!m_meter) {
            if (const QString failure = prepare(frame); !failure.isEmpty())
                return failure;
        }
        const int rate = frame.sample_rate > 0 ? frame.sample_rate : m_rate;
        if (rate != m_rate || frame.format != m_format0
            || (frame.ch_layout.nb_channels > 0 && frame.ch_layout.nb_channels != m_inChannels))
            return QStringLiteral("audio format changes within the file");
        const int room = swr_get_out_samples(m_resampler.get(), frame.nb_samples);
        if (room < 0)
            return QStringLiteral("audio format not convertible");
        m_samples.resize(static_cast<size_t>(room) * static_cast<size_t>(m_channels));
        auto *out = reinterpret_cast<uint8_t *>(m_samples.data());
        const int converted =
            swr_convert(m_resampler.get(), &out, room,
                        const_cast<const uint8_t **>(frame.extended_data), frame.nb_samples);
        if (converted < 0)
            return QStringLiteral("audio not convertible");
        if (converted > 0
            && ebur128_add_frames_float(m_meter.get(), m_samples.data(), static_cast<size_t>(converted))
                   != EBUR128_SUCCESS)
            return QStringLiteral("audio not measurable");
        m_framesMetered += converted;
        return {};
    }

    // Takes every frame the decoder holds; `failure` is set on a fault.
    QString drain()
    {
        for (;;) {
            const int got = avcodec_receive_frame(m_codec.get(), m_frame.get());
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
                return {};
            if (got < 0) {
                ++m_errorsInARow;
                return {};
            }
            const QString failure = meter(*m_frame);
            av_frame_unref(m_frame.get());
            if (!failure.isEmpty())
                return failure;
        }
    }

    QString decodeAll()
    {
        for (;;) {
            if (stopped())
                return {};
            const int read = av_read_frame(m_format.get(), m_packet.get());
            if (read == AVERROR_EOF || (read < 0 && !stopped() && avio_feof(m_ioContext.get())))
                break;
            if (read < 0) {
                if (read == AVERROR_EXIT || stopped())
                    return {};
                return QStringLiteral("read failed (%1)").arg(errorText(read));
            }
            if (m_packet->stream_index == m_stream) {
                const int sent = avcodec_send_packet(m_codec.get(), m_packet.get());
                if (sent < 0 && sent != AVERROR(EAGAIN))
                    ++m_errorsInARow;
                else
                    m_errorsInARow = 0;
            }
            av_packet_unref(m_packet.get());
            if (const QString failure = drain(); !failure.isEmpty())
                return failure;
            if (m_errorsInARow > kMaxDecodeErrorsInARow)
                return QStringLiteral("corrupt audio");
        }
        avcodec_send_packet(m_codec.get(), nullptr);
        return drain();
    }

    // The length the file announces, in seconds; 0 when it does not say.
    double announcedSeconds() const
    {
        const AVStream *stream = m_format->streams[m_stream];
        if (stream->duration > 0 && stream->time_base.den > 0)
            return static_cast<double>(stream->duration) * av_q2d(stream->time_base);
        if (m_format->duration > 0)
            return static_cast<double>(m_format->duration) / AV_TIME_BASE;
        return 0.0;
    }

    LoudnessResult figures()
    {
        if (!m_meter || m_framesMetered == 0)
            return LoudnessResult::notMeasured(QStringLiteral("no audio decoded"));
        // Decoders skip what they cannot read without a word: a song of which
        // most did not decode would be judged by a fragment.
        const double decoded = static_cast<double>(m_framesMetered) / m_rate;
        if (const double announced = announcedSeconds(); decoded < announced * kLeastDecodedShare)
            return LoudnessResult::notMeasured(
                QStringLiteral("corrupt audio (%1 s of %2 s decoded)")
                    .arg(decoded, 0, 'f', 1)
                    .arg(announced, 0, 'f', 1));
        double loudness = 0.0;
        if (ebur128_loudness_global(m_meter.get(), &loudness) != EBUR128_SUCCESS
            || !std::isfinite(loudness))
            return LoudnessResult::notMeasured(QStringLiteral("silent or too short to measure"));
        double peak = 0.0;
        for (int channel = 0; channel < m_channels; ++channel) {
            double channelPeak = 0.0;
            if (ebur128_true_peak(m_meter.get(), static_cast<unsigned>(channel), &channelPeak)
                == EBUR128_SUCCESS)
                peak = std::max(peak, channelPeak);
        }
        // Below -150 dBTP there is nothing but rounding noise.
        if (!(peak > 1e-7) || !std::isfinite(peak))
            return LoudnessResult::notMeasured(QStringLiteral("silent"));
        LoudnessMeasurement measurement;
        measurement.loudnessLufs = loudness;
        measurement.truePeakDbtp = 20.0 * std::log10(peak);
        return {LoudnessResult::Outcome::Measured, measurement, {}};
    }

    IoState m_io;
    std::unique_ptr<AVIOContext, IoContextFree> m_ioContext;
    std::unique_ptr<AVFormatContext, FormatClose> m_format;
    std::unique_ptr<AVCodecContext, CodecFree> m_codec;
    std::unique_ptr<SwrContext, ResamplerFree> m_resampler;
    std::unique_ptr<AVPacket, PacketFree> m_packet;
    std::unique_ptr<AVFrame, FrameFree> m_frame;
    std::unique_ptr<ebur128_state, MeterFree> m_meter;
    std::vector<float> m_samples;
    int m_stream = -1;
    int m_rate = 0;
    int m_channels = 0;
    int m_inChannels = 0;
    int m_format0 = -1;
    int m_errorsInARow = 0;
    qint64 m_framesMetered = 0;
};

} // namespace

namespace LoudnessAnalyser {

LoudnessResult measure(const QString &path, const std::atomic<bool> *stop,
                       const ReadObserver &onRead)
{
    // What FFmpeg would print about damaged files goes nowhere: the outcome
    // says what matters, and the log gets one line for it.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    const QByteArray name = QFile::encodeName(path);
    struct stat before{};
    // Looked at before opening: opening a device or a FIFO may block or act.
    if (name.isEmpty() || ::stat(name.constData(), &before) != 0)
        return LoudnessResult::notMeasured(QStringLiteral("file not found"));
    if (!S_ISREG(before.st_mode))
        return LoudnessResult::notMeasured(QStringLiteral("not a regular file"));
    const Fd fd(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat opened{};
    if (fd.get() < 0 || ::fstat(fd.get(), &opened) != 0)
        return LoudnessResult::notMeasured(QStringLiteral("file not readable"));
    if (!S_ISREG(opened.st_mode) || stampOf(opened) != stampOf(before))
        return LoudnessResult::notMeasured(QStringLiteral("file changed while measured"));
    if (opened.st_size == 0)
        return LoudnessResult::notMeasured(QStringLiteral("empty file"));

    LoudnessResult result = Measurer(fd.get(), stop, onRead).run();
    if (result.outcome != LoudnessResult::Outcome::Measured)
        return result;
    struct stat after{};
    if (::stat(name.constData(), &after) != 0)
        return LoudnessResult::notMeasured(QStringLiteral("file gone while measured"));
    if (stampOf(after) != stampOf(before))
        return LoudnessResult::notMeasured(QStringLiteral("file changed while measured"));
    return result;
}

} // namespace LoudnessAnalyser
