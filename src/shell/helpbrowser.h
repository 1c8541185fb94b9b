#pragma once

#include <QUrl>

// Opens a help page in the user's web browser.
class HelpBrowser
{
public:
    virtual ~HelpBrowser() = default;
    // False when no browser could be started for the page.
    virtual bool openUrl(const QUrl &url) = 0;
};

// The desktop's default browser.
class DesktopHelpBrowser final : public HelpBrowser
{
public:
    bool openUrl(const QUrl &url) override;
};
