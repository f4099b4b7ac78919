#pragma once
// The spoken part of the on-screen test: one sound at a time from the language's sound
// folder, started without waiting for it to end. Every sound of the program goes through
// here, so a test can see what was asked for and what was handed to the audio device.
#include <functional>
#include <memory>

#include <QObject>
#include <QString>
#include <QStringList>

// Something that plays one audio file at a time. The program uses Qt Multimedia; a test
// may put a stand-in in its place to make the device fail.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // An audio output exists and the player reports no error.
    virtual bool Usable() = 0;
    // Starts playing `path` without waiting for the end.
    virtual void Play(const QString& path) = 0;
    // Stops whatever is playing and lets go of its file.
    virtual void Close() = 0;
    // The device calls this when playing fails (number as in SoundErrorNumber).
    std::function<void(int number, const QString& description)> ErrorOccurred;
};

// The Qt Multimedia device (a media player on the default audio output).
std::unique_ptr<SoundDevice> MakeMediaSoundDevice();
// What the next TestSound gets as its device; tests install their own maker.
void SetSoundDeviceMaker(std::function<std::unique_ptr<SoundDevice>()> maker);

// Error numbers of failed sounds. These end a sound without a word: the file or the
// device is not there, which only means that nothing is heard.
enum : int {
    ErrBadFileName = 52,
    ErrFileNotFound = 53,
    ErrDeviceIO = 57,
    ErrDeviceUnavailable = 68,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
    // Anything else is told to the operator in a "Sound Error" box.
    ErrInvalidFormat = 321,
    ErrInternal = 51,
};
bool IsSilentSoundError(int number);

class TestSound : public QObject {
public:
    explicit TestSound(QString folder, QObject* parent = nullptr);
    ~TestSound() override;

    // Prepares the device; without a usable output the test stays silent (AudioOn false).
    void InitSound();
    // Stops the sound that plays and starts `name` from the folder, if the file is there.
    void PlaySound(const QString& name);
    void StopSound();
    // A failure of the device while playing: silent for a missing file or device, a
    // "Sound Error" box for anything else. The test goes on either way.
    void SoundFailed(int number, const QString& description);

    bool AudioOn = true;
    QString Folder;

private:
    std::unique_ptr<SoundDevice> device_;
};

// What happened to sounds since the last reset: every name PlaySound was given, and every
// file handed to the device.
const QStringList& SoundsAsked();
const QStringList& SoundsPlayed();
void ResetSoundHistory();
