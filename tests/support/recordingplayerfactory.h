#pragma once

#include "playback/forwardingplayerlink.h"
#include "support/fakeplayerlink.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Stands in for the platform's link factory: hands out recording players,
// named "player 1", "player 2", ..., and keeps what each watched player was
// told before it went away.
struct RecordingPlayerFactory
{
    std::vector<QString> paths;
    std::vector<FakePlayerLink *> made; // valid while each link lives
    std::vector<QStringList> logsAtEnd;
    // Sets up each new player before it is handed out.
    std::function<void(FakePlayerLink &)> prepare;

    ForwardingPlayerLink::Factory factory()
    {
        return [this](const QString &path) {
            paths.push_back(path);
            auto link = std::make_unique<FakePlayerLink>();
            link->name = QStringLiteral("player %1").arg(paths.size());
            watch(*link);
            if (prepare)
                prepare(*link);
            made.push_back(link.get());
            return link;
        };
    }
    void watch(FakePlayerLink &link)
    {
        link.onDestroyed = [this](const FakePlayerLink &gone) { logsAtEnd.push_back(gone.log); };
    }
};
