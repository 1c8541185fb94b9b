#pragma once

#include "core/userdialogs.h"

#include <QPointer>
#include <QWidget>

// The user dialogs as real, modal Qt windows.
class QtUserDialogs final : public UserDialogs
{
public:
    explicit QtUserDialogs(QWidget *parent = nullptr);

    void setParent(QWidget *parent);

    DialogAnswer messageBox(const QString &title, const QString &text, DialogButtons buttons,
                            DialogIcon icon) override;
    QString promptText(const QString &title, const QString &message, const QString &text) override;
    QStringList openFileNames(const QString &title, const QString &filter) override;
    QString browseFolder(const QString &prompt) override;
    std::optional<FontChoice> chooseFont(const FontChoice &current) override;
    std::optional<quint32> chooseColor(quint32 current) override;

private:
    QPointer<QWidget> m_parent;
};

// What the font dialog's OK gives for a `stored` font that the dialog showed
// as `shown` and was left as `chosen`: each attribute the user did not change
// keeps its stored value, so that OK without a change keeps a font that is
// not installed here, and its style, as they were.
FontChoice keptUnlessChanged(const FontChoice &stored, const FontChoice &shown,
                             const FontChoice &chosen);
