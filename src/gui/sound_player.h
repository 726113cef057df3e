// Playing sound files. The program plays through the installed player, Qt Multimedia's
// unless a test installs its own, so that tests need no sound device.
#pragma once

#include <QString>
#include <memory>

namespace crv::gui {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing the file (stopping what played before). Failures that show only
    // while playing are reported as messages when they happen.
    virtual void Play(const QString& path) = 0;
};

// The installed player; Qt Multimedia's, made on first use, when none is installed.
SoundPlayer& soundPlayer();

// Installs player while it lives.
class ScopedSoundPlayer {
public:
    explicit ScopedSoundPlayer(SoundPlayer& player);
    ~ScopedSoundPlayer();
    ScopedSoundPlayer(const ScopedSoundPlayer&) = delete;
    ScopedSoundPlayer& operator=(const ScopedSoundPlayer&) = delete;

private:
    SoundPlayer* m_previous;
};

} // namespace crv::gui
