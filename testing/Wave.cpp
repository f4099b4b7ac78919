#include "testing/Wave.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr quint16 TagPcm = 1;
constexpr quint16 TagFloat = 3;
constexpr quint16 TagExtensible = 0xFFFE;

quint16 Word(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); }

quint32 Long(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }

bool ReadFormat(const QByteArray& bytes, qsizetype at, quint32 size, Wave& wave, QString& problem)
{
    if (size < 16) {
        problem = QStringLiteral("its format block is too short");
        return false;
    }
    quint16 tag = Word(bytes, at);
    const int channels = Word(bytes, at + 2);
    const quint32 rate = Long(bytes, at + 4);
    const int blockAlign = Word(bytes, at + 12);
    const int bits = Word(bytes, at + 14);
    if (tag == TagExtensible) {
        // The sub-format's first two bytes are the plain format tag.
        if (size < 40) {
            problem = QStringLiteral("its format block is too short");
            return false;
        }
        tag = Word(bytes, at + 24);
    }
    if (tag == TagPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
        wave.SampleFormat = bits == 8    ? Wave::Format::U8
                            : bits == 16 ? Wave::Format::S16
                            : bits == 24 ? Wave::Format::S24
                                         : Wave::Format::S32;
    } else if (tag == TagFloat && bits == 32) {
        wave.SampleFormat = Wave::Format::F32;
    } else {
        problem =
            QStringLiteral("it is not in a sample format that can be played (format %1, %2 bits)").arg(tag).arg(bits);
        return false;
    }
    if (channels < 1 || channels > 8 || rate < 1000 || rate > 192000) {
        problem = QStringLiteral("it claims %1 channels at %2 samples a second").arg(channels).arg(rate);
        return false;
    }
    wave.Channels = channels;
    wave.Rate = int(rate);
    if (blockAlign != wave.FrameBytes()) {
        problem = QStringLiteral("its format block does not add up");
        return false;
    }
    return true;
}

}  // namespace

int Wave::FrameBytes() const
{
    const int bytes = SampleFormat == Format::U8    ? 1
                      : SampleFormat == Format::S16 ? 2
                      : SampleFormat == Format::S24 ? 3
                                                    : 4;
    return bytes * Channels;
}

bool DecodeWave(const QByteArray& bytes, Wave& wave, QString& problem)
{
    wave = Wave();
    if (bytes.isEmpty()) {
        problem = QStringLiteral("the file is empty");
        return false;
    }
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        problem = QStringLiteral("it is not a WAV file");
        return false;
    }
    bool haveFormat = false;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = Long(bytes, at + 4);
        const qsizetype body = at + 8;
        // Compared without adding, so that a size near 4 GB cannot wrap round.
        if (size > quint64(bytes.size() - body)) {
            problem =
                id == "data"
                    ? QStringLiteral("its sound data is cut short (%1 of %2 bytes)").arg(bytes.size() - body).arg(size)
                    : QStringLiteral("it is damaged");
            return false;
        }
        if (id == "fmt ") {
            if (!ReadFormat(bytes, body, size, wave, problem))
                return false;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                problem = QStringLiteral("its sound data comes before its format");
                return false;
            }
            const qsizetype whole = size - size % wave.FrameBytes();
            if (whole == 0) {
                problem = QStringLiteral("it holds no sound");
                return false;
            }
            wave.Samples = bytes.mid(body, whole);
            return true;
        }
        at = body + size + (size & 1);  // blocks are padded to an even length
    }
    problem = haveFormat ? QStringLiteral("it holds no sound data") : QStringLiteral("it has no format block");
    return false;
}

bool ReadWaveFile(const QString& path, Wave& wave, QString& problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return false;
    }
    if (file.size() > MaxWaveFileBytes) {
        problem = QStringLiteral("it is too long for a recording (%1 bytes)").arg(file.size());
        return false;
    }
    const QByteArray bytes = file.read(MaxWaveFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        problem = file.errorString();
        return false;
    }
    return DecodeWave(bytes, wave, problem);
}
