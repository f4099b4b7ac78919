#include "testing/Sound.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

#include "app/MsgBox.h"

namespace {

QStringList Asked;
QStringList Played;
std::function<std::unique_ptr<SoundDevice>()> DeviceMaker;

int NumberOf(QMediaPlayer::Error error)
{
    switch (error) {
    case QMediaPlayer::ResourceError: return ErrFileNotFound;
    case QMediaPlayer::AccessDeniedError: return ErrPathFileAccess;
    case QMediaPlayer::FormatError: return ErrInvalidFormat;
    default: return ErrInternal;
    }
}

class MediaSoundDevice : public SoundDevice {
public:
    MediaSoundDevice()
    {
        player_.setAudioOutput(&output_);
        QObject::connect(&player_, &QMediaPlayer::errorOccurred, &player_,
                         [this](QMediaPlayer::Error error, const QString& text) {
                             if (error != QMediaPlayer::NoError && ErrorOccurred)
                                 ErrorOccurred(NumberOf(error), text);
                         });
    }
    bool Usable() override
    {
        return !QMediaDevices::audioOutputs().isEmpty() && player_.error() == QMediaPlayer::NoError;
    }
    void Play(const QString& path) override
    {
        player_.setSource(QUrl::fromLocalFile(path));
        player_.play();
    }
    void Close() override
    {
        if (player_.source().isEmpty())
            return;
        player_.stop();
        player_.setSource(QUrl());
    }

private:
    QMediaPlayer player_;
    QAudioOutput output_;
};

} // namespace

std::unique_ptr<SoundDevice> MakeMediaSoundDevice()
{
    return std::make_unique<MediaSoundDevice>();
}

void SetSoundDeviceMaker(std::function<std::unique_ptr<SoundDevice>()> maker)
{
    DeviceMaker = std::move(maker);
}

bool IsSilentSoundError(int number)
{
    switch (number) {
    case ErrBadFileName:
    case ErrFileNotFound:
    case ErrDeviceIO:
    case ErrDeviceUnavailable:
    case ErrPathFileAccess:
    case ErrPathNotFound:
        return true;
    default:
        return false;
    }
}

TestSound::TestSound(QString folder, QObject* parent) : QObject(parent), Folder(std::move(folder)) {}

TestSound::~TestSound()
{
    StopSound();
}

void TestSound::InitSound()
{
    AudioOn = true;
    if (!device_) {
        device_ = DeviceMaker ? DeviceMaker() : MakeMediaSoundDevice();
        device_->ErrorOccurred = [this](int number, const QString& description) { SoundFailed(number, description); };
    }
    // Without a usable output the test goes on silently to its end.
    if (!device_->Usable())
        AudioOn = false;
}

void TestSound::PlaySound(const QString& name)
{
    Asked.append(name);
    if (!AudioOn || !device_)
        return;
    StopSound();
    const QString path = Folder + name.trimmed();
    if (name.trimmed().isEmpty() || !QFileInfo(path).isFile())
        return;
    Played.append(path);
    device_->Play(path);
}

void TestSound::StopSound()
{
    if (device_)
        device_->Close();
}

void TestSound::SoundFailed(int number, const QString& description)
{
    if (device_)
        device_->Close();
    if (IsSilentSoundError(number))
        return;
    MsgBox::Show(QStringLiteral("Error %1:%2").arg(number).arg(description), MsgBox::Buttons::OkOnly,
                 MsgBox::Icon::Critical, QStringLiteral("Sound Error"));
}

const QStringList& SoundsAsked()
{
    return Asked;
}

const QStringList& SoundsPlayed()
{
    return Played;
}

void ResetSoundHistory()
{
    Asked.clear();
    Played.clear();
}
