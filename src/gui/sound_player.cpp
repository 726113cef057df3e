#include "gui/sound_player.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QMediaPlayer>
#include <QPointer>
#include <QUrl>

#include "base/message_text.h"
#include "base/platform.h"
#include "gui/qt_text.h"

namespace crv::gui {

namespace {

class QtSoundPlayer : public SoundPlayer {
public:
    void Play(const QString& path) override {
        if (!m_player) {
            // Made on first use and owned by the application, so that the media back end
            // is loaded only for a run that plays, and goes before the application does.
            m_player = new QMediaPlayer(QCoreApplication::instance());
            m_player->setAudioOutput(new QAudioOutput(m_player));
            QMediaPlayer* player = m_player;
            QObject::connect(player, &QMediaPlayer::errorOccurred, player,
                             [player](QMediaPlayer::Error, const QString& text) {
                                 platform().ShowMessage(
                                     FormatMessage("The sound file %1 cannot be played: %2",
                                                   {S(player->source().toLocalFile()), S(text)}));
                             });
        }
        m_player->stop();
        m_player->setSource(QUrl::fromLocalFile(path));
        m_player->play();
    }

private:
    QPointer<QMediaPlayer> m_player;
};

SoundPlayer* g_installed = nullptr;

} // namespace

SoundPlayer& soundPlayer() {
    if (g_installed)
        return *g_installed;
    static QtSoundPlayer player;
    return player;
}

ScopedSoundPlayer::ScopedSoundPlayer(SoundPlayer& player) : m_previous(g_installed) {
    g_installed = &player;
}

ScopedSoundPlayer::~ScopedSoundPlayer() { g_installed = m_previous; }

} // namespace crv::gui
