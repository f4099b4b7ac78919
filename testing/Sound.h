#pragma once
// The spoken part of the on-screen test: one sound at a time from the language's sound
// folder, started without waiting for it to end. Every sound of the program goes through
// here, so a test can see what was asked for and what was handed to the audio device.
//
// A recording must be heard the moment the client's key asks for it, and whole, even on a
// busy computer. So each file is read and checked once, when its item comes up, and the
// samples go to one stream of the sound server that stays open for the whole test; playing
// a sound only replaces what that stream holds.
#include <functional>
#include <memory>

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include "testing/Wave.h"

// Something that plays one sound at a time. The program talks to the PulseAudio server; a
// test may put a stand-in in its place.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // A sound server answered. Waits a moment at most: a server that hangs counts as none.
    virtual bool Usable() = 0;
    // Opens the way for sounds of this shape before one is wanted; a device that is
    // already open for sounds keeps what it has.
    virtual void Prepare(const Wave& shape) { (void)shape; }
    // Replaces whatever plays by `wave` (read from `path`) and returns at once.
    virtual void Play(const QString& path, std::shared_ptr<const Wave> wave) = 0;
    // Stops whatever is playing.
    virtual void Close() = 0;
};

// The PulseAudio device: a client of the user's sound server (PULSE_SERVER or the default).
// A server that is missing, hangs or goes away only means that nothing is heard.
std::unique_ptr<SoundDevice> MakePulseSoundDevice();
// What the next TestSound gets as its device; tests install their own maker.
void SetSoundDeviceMaker(std::function<std::unique_ptr<SoundDevice>()> maker);

// The number in the "Sound Error" box of a recording that is there but cannot be played.
constexpr int ErrInvalidFormat = 321;

class TestSound : public QObject {
public:
    explicit TestSound(QString folder, QObject* parent = nullptr);
    ~TestSound() override;

    // Prepares the device; without a usable output the test stays silent (AudioOn false).
    void InitSound();
    // Reads the recordings an item is about to speak, so that playing them costs nothing.
    void PrepareSounds(const QStringList& names);
    // Stops the sound that plays and starts `name` from the folder, if the file is there.
    void PlaySound(const QString& name);
    void StopSound();
    bool AudioOn = true;
    QString Folder;

private:
    struct Recording {
        std::shared_ptr<const Wave> wave;  // null when the file cannot be played
        QString problem;
    };
    // The recording of `name`, read when first wanted; null when the file is not there.
    const Recording* Find(const QString& name);
    // A recording that cannot be played: a "Sound Error" box the first time in a test,
    // silence after that. The test goes on either way.
    void SoundFailed(const QString& description);

    std::unique_ptr<SoundDevice> device_;
    QHash<QString, Recording> recordings_;
    bool errorShown_ = false;
};

// What happened to sounds since the last reset: every name PlaySound was given, and every
// file handed to the device.
const QStringList& SoundsAsked();
const QStringList& SoundsPlayed();
void ResetSoundHistory();
