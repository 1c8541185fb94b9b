// vorn-loudness: measures the loudness of the files whose paths it reads on
// its standard input, one after the other, and answers each on its standard
// output (see measureanswer.h). It ends at the end of its input. VORN starts
// it only while it has songs to measure, so the decoders and everything they
// load stay out of the program, and a file that crashes a decoder ends this
// helper, not the music.

#include "analyser/loudnessanalyser.h"
#include "analyser/measureanswer.h"

#include <QElapsedTimer>

#include <cstdio>
#include <iostream>
#include <string>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sched.h>
#include <sys/prctl.h>
#endif

namespace {

// How often, at most, the helper says that it is still reading.
constexpr qint64 kProgressEveryMs = 1000;

void write(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

int main()
{
#ifdef Q_OS_LINUX
    // The window and the player come first; and when VORN is killed, the
    // helper goes with it instead of finishing a long file for nobody.
    const sched_param idle{};
    sched_setscheduler(0, SCHED_IDLE, &idle);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    std::string request;
    while (std::getline(std::cin, request, '\0')) {
        QElapsedTimer told;
        told.start();
        const LoudnessResult result = LoudnessAnalyser::measure(
            MeasureAnswer::pathOf(QByteArrayView(request.data(), qsizetype(request.size()))),
            nullptr, [&told](qint64) {
                if (told.elapsed() >= kProgressEveryMs) {
                    write(MeasureAnswer::progress());
                    told.restart();
                }
            });
        write(MeasureAnswer::answer(result));
    }
    return 0;
}
