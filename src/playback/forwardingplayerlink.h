#pragma once

#include "playerlink.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The link the rest of VORN holds for the whole run. It forwards every call to
// the concrete link made for the player program in use, and takes a new
// concrete link when the user picks a program that is driven another way, so
// that nobody holding the link has to be rebuilt.
//
// The tone gains set through it are kept here and handed to every new link:
// the mixer's faders keep showing them and only set them again when moved.
class ForwardingPlayerLink final : public PlayerLink
{
public:
    // Makes the concrete link for the player program at a path.
    using Factory = std::function<std::unique_ptr<PlayerLink>(const QString &path)>;

    // `current` is the link already made for the program at `path`; later
    // links come from `factory` (the platform's choice when empty).
    ForwardingPlayerLink(std::unique_ptr<PlayerLink> current, const QString &path,
                         Factory factory = {});
    ~ForwardingPlayerLink() override;
    ForwardingPlayerLink(const ForwardingPlayerLink &) = delete;
    ForwardingPlayerLink &operator=(const ForwardingPlayerLink &) = delete;

    void setFactory(Factory factory);

    // True when the program at `path` speaks another protocol than the one
    // the current link was made for.
    bool needsNewLink(const QString &path) const;
    // Closes the player in use (its process ended, its connection dropped),
    // destroys its link and makes the one for `path`, with the kept tone
    // gains. The new link is not started: StartWinamp does that.
    void replaceLink(const QString &path);

    PlayerLink &current() const { return *m_current; }

    QString playerName() const override { return m_current->playerName(); }
    bool FindWinamp() override { return m_current->FindWinamp(); }
    bool StartWinamp(const QString &path) override { return m_current->StartWinamp(path); }
    void beginStart(const QString &path) override { m_current->beginStart(path); }
    bool finishStart(const QString &path) override { return m_current->finishStart(path); }
    void CloseWinamp() override { m_current->CloseWinamp(); }
    void WinampClearList() override { m_current->WinampClearList(); }
    void WinampAddFile(const QString &file) override { m_current->WinampAddFile(file); }
    void WinampStartPlay() override { m_current->WinampStartPlay(); }
    int WinampIsPlaying() override { return m_current->WinampIsPlaying(); }
    int WinampGetPosition() override { return m_current->WinampGetPosition(); }
    int WinampGetLength() override { return m_current->WinampGetLength(); }
    void WinampPlayButton() override { m_current->WinampPlayButton(); }
    void WinampPauseButton() override { m_current->WinampPauseButton(); }
    void WinampStopButton() override { m_current->WinampStopButton(); }
    void WinampFadeOutStop() override { m_current->WinampFadeOutStop(); }
    void WinampVolumeUp() override { m_current->WinampVolumeUp(); }
    void WinampVolumeDown() override { m_current->WinampVolumeDown(); }
    int volumePercent() override { return m_current->volumePercent(); }
    void setVolumePercent(int percent) override { m_current->setVolumePercent(percent); }
    void WinampLevelUp() override { m_current->WinampLevelUp(); }
    void WinampLevelDown() override { m_current->WinampLevelDown(); }
    void setToneGain(ToneBand band, double gainDb) override;
    bool hasSongGain() const override { return m_current->hasSongGain(); }
    void setSongGain(double gainDb) override { m_current->setSongGain(gainDb); }

private:
    std::unique_ptr<PlayerLink> m_current;
    bool m_winampProtocol;
    Factory m_factory;
    std::optional<double> m_bassDb;
    std::optional<double> m_trebleDb;
};
