#include "schedulefile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStringConverter>
#include <QStringDecoder>

namespace {

const QString kScheduleSection = QStringLiteral("Schedule");
const QString kInOrder = QStringLiteral("in order");
const QString kRandom = QStringLiteral("random");
const QString kLetFinish = QStringLiteral("let finish");
const QString kFadeOut = QStringLiteral("fade out");
const QString kClosed = QStringLiteral("closed");

ScheduleFile::ReadResult failure(int line, const QString &reason)
{
    ScheduleFile::ReadResult result;
    result.line = line;
    result.reason = reason;
    return result;
}

int dayIndex(const QString &name)
{
    for (int day = 0; day < SchedulePlan::kDays; ++day) {
        if (name.compare(scheduleDayName(day), Qt::CaseInsensitive) == 0)
            return day;
    }
    return -1;
}

std::optional<QTime> parseStart(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{2}):([0-9]{2})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QTime start(match.captured(1).toInt(), match.captured(2).toInt());
    if (!start.isValid())
        return std::nullopt;
    return start;
}

// The slot of the text after "=", or the reason it is none.
std::optional<ScheduleSlot> parseSlot(QTime start, const QString &text, QString &reason)
{
    if (text.compare(kClosed, Qt::CaseInsensitive) == 0)
        return ScheduleSlot::closedAt(start);
    if (!text.startsWith(QLatin1Char('"'))) {
        reason = QStringLiteral("expected \"closed\" or a play list name in double quotes");
        return std::nullopt;
    }
    const qsizetype end = text.indexOf(QLatin1Char('"'), 1);
    if (end < 0) {
        reason = QStringLiteral("the play list name has no closing double quote");
        return std::nullopt;
    }
    ScheduleSlot slot = ScheduleSlot::playing(start, text.mid(1, end - 1));
    if (slot.list.trimmed().isEmpty() || slot.list != slot.list.trimmed()) {
        reason = QStringLiteral("the play list name is empty or starts or ends with a blank");
        return std::nullopt;
    }
    static const QRegularExpression forbidden(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    if (slot.list.contains(forbidden)) {
        reason = QStringLiteral("the play list name holds a character a name cannot hold");
        return std::nullopt;
    }
    const QString rest = text.mid(end + 1).trimmed();
    if (rest.isEmpty())
        return slot;
    if (!rest.startsWith(QLatin1Char(','))) {
        reason = QStringLiteral("expected a comma after the play list name");
        return std::nullopt;
    }
    bool orderSeen = false;
    bool endSeen = false;
    for (const QString &part : rest.mid(1).split(QLatin1Char(','))) {
        const QString option = part.simplified().toLower();
        if ((option == kInOrder || option == kRandom) && !orderSeen) {
            slot.random = option == kRandom;
            orderSeen = true;
        } else if ((option == kLetFinish || option == kFadeOut) && !endSeen) {
            slot.letFinish = option == kLetFinish;
            endSeen = true;
        } else {
            reason = QStringLiteral("unknown or repeated option \"%1\"").arg(part.trimmed());
            return std::nullopt;
        }
    }
    return slot;
}

void formatDay(QByteArray &out, const QString &title, const DayPlan &day)
{
    out += '[' + title.toUtf8() + "]\n";
    for (const ScheduleSlot &slot : day) {
        out += slotTimeText(slot.start).toUtf8() + " = ";
        if (slot.closed) {
            out += kClosed.toUtf8();
        } else {
            out += '"' + slot.list.toUtf8() + "\", ";
            out += (slot.random ? kRandom : kInOrder).toUtf8() + ", ";
            out += (slot.letFinish ? kLetFinish : kFadeOut).toUtf8();
        }
        out += '\n';
    }
}

} // namespace

QString ScheduleFile::ReadResult::problem() const
{
    if (plan)
        return {};
    return line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(reason) : reason;
}

ScheduleFile::ReadResult ScheduleFile::parse(const QByteArray &text)
{
    if (text.size() > kMaxBytes)
        return failure(0, QStringLiteral("the file is longer than 1 MiB"));
    SchedulePlan plan;
    enum class Section
    {
        None,
        Schedule,
        Day
    };
    Section section = Section::None;
    DayPlan *day = nullptr;
    QSet<QString> seen;
    bool followSeen = false;

    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        QByteArray raw = lines[i];
        if (raw.endsWith('\r'))
            raw.chop(1);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = QString(utf8(raw)).trimmed();
        if (utf8.hasError() || raw.contains('\0'))
            return failure(number, QStringLiteral("the line is not UTF-8 text"));
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';')))
            continue;

        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                return failure(number, QStringLiteral("a section name ends with \"]\""));
            const QString name = line.mid(1, line.size() - 2).trimmed();
            const QString key = name.toLower();
            if (seen.contains(key))
                return failure(number, QStringLiteral("the section [%1] comes twice").arg(name));
            seen.insert(key);
            if (name.compare(kScheduleSection, Qt::CaseInsensitive) == 0) {
                section = Section::Schedule;
                day = nullptr;
            } else if (const int index = dayIndex(name); index >= 0) {
                section = Section::Day;
                day = &plan.week[static_cast<size_t>(index)];
            } else if (const QDate date = QDate::fromString(name, Qt::ISODate);
                       date.isValid() && name.size() == 10) {
                section = Section::Day;
                day = &plan.exceptions[date];
            } else {
                return failure(number,
                               QStringLiteral("unknown section [%1]: expected [Schedule], a day "
                                              "such as [Monday] or a date such as [2026-12-25]")
                                   .arg(name));
            }
            continue;
        }

        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            return failure(number, QStringLiteral("expected \"name = value\""));
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (section == Section::None)
            return failure(number, QStringLiteral("the line comes before any section"));
        if (section == Section::Schedule) {
            if (key.compare(QStringLiteral("Follow"), Qt::CaseInsensitive) != 0)
                return failure(number, QStringLiteral("unknown setting \"%1\"").arg(key));
            if (followSeen)
                return failure(number, QStringLiteral("Follow is set twice"));
            followSeen = true;
            if (value.compare(QStringLiteral("on"), Qt::CaseInsensitive) == 0)
                plan.follow = true;
            else if (value.compare(QStringLiteral("off"), Qt::CaseInsensitive) == 0)
                plan.follow = false;
            else
                return failure(number, QStringLiteral("Follow is \"on\" or \"off\""));
            continue;
        }
        const std::optional<QTime> start = parseStart(key);
        if (!start)
            return failure(number,
                           QStringLiteral("\"%1\" is no start time between 00:00 and 23:59 (HH:MM)")
                               .arg(key));
        QString reason;
        const std::optional<ScheduleSlot> slot = parseSlot(*start, value, reason);
        if (!slot)
            return failure(number, reason);
        DayPlanChange change = addSlot(*day, *slot);
        if (!change.plan)
            return failure(number, change.refusal);
        *day = *change.plan;
    }
    ReadResult result;
    result.plan = std::move(plan);
    return result;
}

QByteArray ScheduleFile::format(const SchedulePlan &plan)
{
    QByteArray out = "# VORN day schedule: a slot plays its list from its start time until the "
                     "next slot starts.\n[Schedule]\nFollow = ";
    out += plan.follow ? "on\n" : "off\n";
    for (int day = 0; day < SchedulePlan::kDays; ++day) {
        out += '\n';
        formatDay(out, scheduleDayName(day), plan.week[static_cast<size_t>(day)]);
    }
    for (auto it = plan.exceptions.constBegin(); it != plan.exceptions.constEnd(); ++it) {
        out += '\n';
        formatDay(out, it.key().toString(Qt::ISODate), it.value());
    }
    return out;
}

ScheduleFile::ReadResult ScheduleFile::read(const QString &path)
{
    QFile file(path);
    if (!file.exists()) {
        ReadResult empty;
        empty.plan = SchedulePlan();
        return empty;
    }
    if (!file.open(QIODevice::ReadOnly))
        return failure(0, file.errorString());
    const QByteArray text = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(0, file.errorString());
    return parse(text);
}

QString ScheduleFile::write(const QString &path, const SchedulePlan &plan)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray text = format(plan);
    if (file.write(text) != text.size() || !file.commit())
        return file.errorString();
    return {};
}
