#include "testing/Sound.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QPointer>

#include <pulse/pulseaudio.h>

#include "base/MsgBox.h"

namespace {

QStringList Asked;
QStringList Played;
std::function<std::unique_ptr<SoundDevice>()> DeviceMaker;

// How long the server may take to answer before the test goes on without sound.
constexpr int ConnectMilliseconds = 1000;
// The stream asks the server for this much latency; the sink then plays a new sound's first
// samples within about this time.
constexpr int LatencyMilliseconds = 10;
// How far ahead of the speaker the samples are kept at the server, so that a busy computer
// that leaves this program waiting never lets the sound run dry.
constexpr int AheadMilliseconds = 2000;
constexpr qsizetype MaxAheadBytes = 1024 * 1024;

pa_sample_format_t PulseFormat(Wave::Format format)
{
    switch (format) {
    case Wave::Format::U8: return PA_SAMPLE_U8;
    case Wave::Format::S16: return PA_SAMPLE_S16LE;
    case Wave::Format::S24: return PA_SAMPLE_S24LE;
    case Wave::Format::S32: return PA_SAMPLE_S32LE;
    case Wave::Format::F32: return PA_SAMPLE_FLOAT32LE;
    }
    return PA_SAMPLE_INVALID;
}

// One stream on the user's PulseAudio server, fed from the server's own thread (the
// threaded main loop), so that the window's thread only swaps the sound that is wanted.
class PulseSoundDevice : public SoundDevice {
public:
    PulseSoundDevice()
    {
        loop_ = pa_threaded_mainloop_new();
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "ZEP");
        pa_context_set_state_callback(context_, &PulseSoundDevice::ContextChanged, this);
        // A sound server that is not running is not started for us: the test is then silent.
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            pa_threaded_mainloop_start(loop_) < 0)
            connectFailed_ = true;
    }

    ~PulseSoundDevice() override
    {
        pa_threaded_mainloop_lock(loop_);
        DropStream();
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_stop(loop_);
        pa_context_unref(context_);
        pa_threaded_mainloop_free(loop_);
    }

    bool Usable() override
    {
        if (connectFailed_)
            return false;
        // Polled rather than waited for: a server that never answers must not hold the window.
        for (QDeadlineTimer deadline(ConnectMilliseconds);; std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
            pa_threaded_mainloop_lock(loop_);
            const pa_context_state_t state = pa_context_get_state(context_);
            pa_threaded_mainloop_unlock(loop_);
            if (state == PA_CONTEXT_READY)
                return true;
            if (!PA_CONTEXT_IS_GOOD(state) || deadline.hasExpired())
                return false;
        }
    }

    void Prepare(const Wave& shape) override
    {
        pa_threaded_mainloop_lock(loop_);
        if (!stream_)
            OpenStream(shape);
        pa_threaded_mainloop_unlock(loop_);
    }

    void Play(const QString&, std::shared_ptr<const Wave> wave) override
    {
        pa_threaded_mainloop_lock(loop_);
        if (!stream_ || !shape_.SameShape(*wave))
            OpenStream(*wave);
        sound_ = std::move(wave);
        sent_ = 0;
        // A stream still being set up starts the sound itself once it is ready.
        if (stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY)
            StartSound();
        pa_threaded_mainloop_unlock(loop_);
    }

    void Close() override
    {
        pa_threaded_mainloop_lock(loop_);
        sound_.reset();
        if (stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY)
            Unref(pa_stream_flush(stream_, nullptr, nullptr));
        pa_threaded_mainloop_unlock(loop_);
    }

private:
    static void Unref(pa_operation* operation)
    {
        if (operation)
            pa_operation_unref(operation);
    }

    static void ContextChanged(pa_context*, void*) {}

    // With the loop locked.
    void OpenStream(const Wave& shape)
    {
        DropStream();
        if (pa_context_get_state(context_) != PA_CONTEXT_READY)
            return;
        pa_sample_spec sampleSpec;
        sampleSpec.format = PulseFormat(shape.SampleFormat);
        sampleSpec.rate = uint32_t(shape.Rate);
        sampleSpec.channels = uint8_t(shape.Channels);
        pa_channel_map map;
        if (!pa_sample_spec_valid(&sampleSpec) ||
            !pa_channel_map_init_auto(&map, sampleSpec.channels, PA_CHANNEL_MAP_DEFAULT))
            return;
        stream_ = pa_stream_new(context_, "Test recording", &sampleSpec, &map);
        if (!stream_)
            return;
        shape_ = shape;
        shape_.Samples.clear();
        const qsizetype frame = shape.FrameBytes();
        ahead_ = std::min<qsizetype>(pa_usec_to_bytes(AheadMilliseconds * 1000ULL, &sampleSpec), MaxAheadBytes) /
                 frame * frame;
        pa_buffer_attr attr;
        attr.maxlength = uint32_t(-1);
        attr.tlength = uint32_t(pa_usec_to_bytes(LatencyMilliseconds * 1000ULL, &sampleSpec));
        attr.prebuf = uint32_t(-1);
        attr.minreq = uint32_t(-1);
        attr.fragsize = uint32_t(-1);
        pa_stream_set_state_callback(stream_, &PulseSoundDevice::StreamChanged, this);
        pa_stream_set_write_callback(stream_, &PulseSoundDevice::MoreWanted, this);
        if (pa_stream_connect_playback(stream_, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0)
            DropStream();
    }

    // With the loop locked.
    void DropStream()
    {
        if (!stream_)
            return;
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }

    // With the loop locked and the stream ready: what played before is thrown away and the
    // new sound goes where the speaker is now, so it is heard at once.
    void StartSound()
    {
        Unref(pa_stream_flush(stream_, nullptr, nullptr));
        Send(ahead_, PA_SEEK_RELATIVE_ON_READ);
        // A sound shorter than the server's pre-buffer would otherwise wait for more.
        Unref(pa_stream_trigger(stream_, nullptr, nullptr));
    }

    void Send(qsizetype bytes, pa_seek_mode_t seek)
    {
        if (!sound_)
            return;
        const qsizetype n = std::min(bytes, sound_->Samples.size() - sent_);
        if (n <= 0)
            return;
        if (pa_stream_write(stream_, sound_->Samples.constData() + sent_, size_t(n), nullptr, 0, seek) == 0)
            sent_ += n;
        if (sent_ >= sound_->Samples.size())
            sound_.reset();
    }

    static void StreamChanged(pa_stream* stream, void* self)
    {
        auto* device = static_cast<PulseSoundDevice*>(self);
        if (pa_stream_get_state(stream) == PA_STREAM_READY && device->sound_ && device->sent_ == 0)
            device->StartSound();
    }

    // The server has room for `bytes` more: top the stream up to the full lead again.
    static void MoreWanted(pa_stream* stream, size_t bytes, void* self)
    {
        auto* device = static_cast<PulseSoundDevice*>(self);
        if (!device->sound_ || device->sent_ == 0)
            return;
        const pa_buffer_attr* attr = pa_stream_get_buffer_attr(stream);
        const qsizetype target = attr ? std::max<qsizetype>(0, device->ahead_ - qsizetype(attr->tlength)) : 0;
        device->Send(qsizetype(bytes) + target, PA_SEEK_RELATIVE);
    }

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    bool connectFailed_ = false;
    Wave shape_;                         // the sample format of stream_
    qsizetype ahead_ = 0;                // bytes kept ahead of the speaker
    std::shared_ptr<const Wave> sound_;  // what is being sent, until all of it is
    qsizetype sent_ = 0;
};

}  // namespace

std::unique_ptr<SoundDevice> MakePulseSoundDevice() { return std::make_unique<PulseSoundDevice>(); }

void SetSoundDeviceMaker(std::function<std::unique_ptr<SoundDevice>()> maker) { DeviceMaker = std::move(maker); }

TestSound::TestSound(QString folder, QObject* parent) : QObject(parent), Folder(std::move(folder)) {}

TestSound::~TestSound() { StopSound(); }

void TestSound::InitSound()
{
    AudioOn = true;
    if (!device_) {
        device_ = DeviceMaker ? DeviceMaker() : MakePulseSoundDevice();
    }
    // Without a usable output the test goes on silently to its end.
    if (!device_->Usable())
        AudioOn = false;
}

const TestSound::Recording* TestSound::Find(const QString& name)
{
    const QString path = Folder + name.trimmed();
    if (name.trimmed().isEmpty() || !QFileInfo(path).isFile())
        return nullptr;
    auto known = recordings_.find(path);
    if (known == recordings_.end()) {
        Recording recording;
        auto wave = std::make_shared<Wave>();
        if (ReadWaveFile(path, *wave, recording.problem))
            recording.wave = std::move(wave);
        known = recordings_.insert(path, recording);
        // The stream takes the shape of the first recording, before anything is to be heard.
        if (recording.wave)
            device_->Prepare(*recording.wave);
    }
    return &known.value();
}

void TestSound::PrepareSounds(const QStringList& names)
{
    if (!AudioOn || !device_)
        return;
    for (const QString& name : names)
        Find(name);
}

void TestSound::PlaySound(const QString& name)
{
    Asked.append(name);
    if (!AudioOn || !device_)
        return;
    StopSound();
    const Recording* recording = Find(name);
    if (!recording)
        return;
    const QString path = Folder + name.trimmed();
    if (!recording->wave) {
        SoundFailed(QStringLiteral("Invalid file format: %1 cannot be played, %2.").arg(path, recording->problem));
        return;
    }
    Played.append(path);
    device_->Play(path, recording->wave);
}

void TestSound::StopSound()
{
    if (device_)
        device_->Close();
}

void TestSound::SoundFailed(const QString& description)
{
    // One box is enough for the operator to know; the client then goes on undisturbed.
    if (errorShown_)
        return;
    errorShown_ = true;
    MsgBox::Show(QStringLiteral("Error %1:%2").arg(ErrInvalidFormat).arg(description), MsgBox::Buttons::OkOnly,
                 MsgBox::Icon::Critical, QStringLiteral("Sound Error"));
}

const QStringList& SoundsAsked() { return Asked; }

const QStringList& SoundsPlayed() { return Played; }

void ResetSoundHistory()
{
    Asked.clear();
    Played.clear();
}
