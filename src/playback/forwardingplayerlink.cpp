#include "forwardingplayerlink.h"

#include "playerlinkfactory.h"

ForwardingPlayerLink::ForwardingPlayerLink(std::unique_ptr<PlayerLink> current, const QString &path,
                                           Factory factory)
    : m_current(std::move(current))
    , m_winampProtocol(usesWinampProtocol(path))
{
    setFactory(std::move(factory));
}

ForwardingPlayerLink::~ForwardingPlayerLink() = default;

void ForwardingPlayerLink::setFactory(Factory factory)
{
    m_factory = factory ? std::move(factory) : Factory(createPlayerLink);
}

bool ForwardingPlayerLink::needsNewLink(const QString &path) const
{
    return usesWinampProtocol(path) != m_winampProtocol;
}

void ForwardingPlayerLink::replaceLink(const QString &path)
{
    // The old player goes first: the new one may want the same socket, and
    // no player of ours may be left running behind the new link.
    m_current->CloseWinamp();
    m_current.reset();
    m_current = m_factory(path);
    m_winampProtocol = usesWinampProtocol(path);
    if (m_bassDb)
        m_current->setToneGain(ToneBand::Bass, *m_bassDb);
    if (m_trebleDb)
        m_current->setToneGain(ToneBand::Treble, *m_trebleDb);
}

void ForwardingPlayerLink::setToneGain(ToneBand band, double gainDb)
{
    (band == ToneBand::Bass ? m_bassDb : m_trebleDb) = gainDb;
    m_current->setToneGain(band, gainDb);
}
