#pragma once
// The recordings of the on-screen test are WAV files. They are read and checked once, when
// the item that speaks them comes up, so that playing one later only hands samples that are
// already in memory to the sound server.
#include <QByteArray>
#include <QString>

struct Wave {
    enum class Format { U8, S16, S24, S32, F32 };
    Format SampleFormat = Format::S16;
    int Rate = 0;
    int Channels = 0;
    QByteArray Samples;  // interleaved, little-endian, as in the file

    int FrameBytes() const;
    bool SameShape(const Wave& other) const
    {
        return SampleFormat == other.SampleFormat && Rate == other.Rate && Channels == other.Channels;
    }
};

// The largest recording read: about ten minutes of CD sound. A longer file is taken to be
// damaged rather than read into memory.
constexpr qint64 MaxWaveFileBytes = 100 * 1024 * 1024;

// Reads a RIFF/WAVE file of integer PCM (8, 16, 24 or 32 bits) or 32-bit float samples.
// On failure `problem` says what is wrong with the file, in words for the operator.
bool DecodeWave(const QByteArray& bytes, Wave& wave, QString& problem);
// The same for a file; `problem` also covers a file that cannot be read.
bool ReadWaveFile(const QString& path, Wave& wave, QString& problem);
