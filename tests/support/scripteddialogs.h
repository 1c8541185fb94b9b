#pragma once

#include "core/userdialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

// Answers for the user from queues and records what was shown. A question
// with no scripted answer fails the test instead of blocking it.
class ScriptedDialogs final : public UserDialogs
{
public:
    struct Shown
    {
        QString title;
        QString text;
        DialogButtons buttons;
        DialogIcon icon;
    };

    std::deque<DialogAnswer> answers;
    std::deque<QString> promptAnswers;
    std::deque<QStringList> fileAnswers;
    std::deque<QString> folderAnswers;
    std::vector<Shown> messages;
    std::vector<Shown> prompts;
    std::vector<Shown> fileDialogs; // text holds the filter
    // Called as each message box is shown, to look at the program meanwhile.
    std::function<void()> onMessage;
    std::vector<QString> folderPrompts;
    // Font and colour dialogs: an empty answer is a cancel.
    std::deque<std::optional<FontChoice>> fontAnswers;
    std::deque<std::optional<quint32>> colorAnswers;
    std::vector<FontChoice> fontDialogs; // what each font dialog started with
    std::vector<quint32> colorDialogs;

    DialogAnswer messageBox(const QString &title, const QString &text, DialogButtons buttons,
                            DialogIcon icon) override
    {
        messages.push_back({title, text, buttons, icon});
        if (onMessage)
            onMessage();
        if (buttons == DialogButtons::Ok)
            return DialogAnswer::Ok;
        if (answers.empty())
            throw std::logic_error("unexpected question: " + text.toStdString());
        const DialogAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QString promptText(const QString &title, const QString &message, const QString &text) override
    {
        prompts.push_back(
            {title, message + QLatin1Char('|') + text, DialogButtons::OkCancel, DialogIcon::None});
        if (promptAnswers.empty())
            throw std::logic_error("unexpected prompt: " + message.toStdString());
        const QString answer = promptAnswers.front();
        promptAnswers.pop_front();
        return answer;
    }

    QStringList openFileNames(const QString &title, const QString &filter) override
    {
        fileDialogs.push_back({title, filter, DialogButtons::OkCancel, DialogIcon::None});
        if (fileAnswers.empty())
            throw std::logic_error("unexpected file dialog: " + title.toStdString());
        const QStringList answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    QString browseFolder(const QString &prompt) override
    {
        folderPrompts.push_back(prompt);
        if (folderAnswers.empty())
            throw std::logic_error("unexpected folder browser: " + prompt.toStdString());
        const QString answer = folderAnswers.front();
        folderAnswers.pop_front();
        return answer;
    }

    std::optional<FontChoice> chooseFont(const FontChoice &current) override
    {
        fontDialogs.push_back(current);
        if (fontAnswers.empty())
            throw std::logic_error("unexpected font dialog");
        const std::optional<FontChoice> answer = fontAnswers.front();
        fontAnswers.pop_front();
        return answer;
    }

    std::optional<quint32> chooseColor(quint32 current) override
    {
        colorDialogs.push_back(current);
        if (colorAnswers.empty())
            throw std::logic_error("unexpected colour dialog");
        const std::optional<quint32> answer = colorAnswers.front();
        colorAnswers.pop_front();
        return answer;
    }
};
