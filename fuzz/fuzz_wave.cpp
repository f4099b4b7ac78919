// A recording of the on-screen test from the fuzz input, read in memory the way the test reads
// every file before it plays it. A file is either refused with a reason, or gives whole frames
// of sound, all of them from inside the file.
#include "fuzz/FuzzSupport.h"
#include "testing/Wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = InputBytes(data, size);
    Wave wave;
    QString problem;
    if (!DecodeWave(bytes, wave, problem)) {
        REQUIRE(!problem.isEmpty());
        return 0;
    }
    REQUIRE(wave.Channels >= 1 && wave.Rate > 0);
    REQUIRE(!wave.Samples.isEmpty() && wave.Samples.size() % wave.FrameBytes() == 0);
    // The smallest file around its sound: RIFF header, format block and data block header.
    REQUIRE(wave.Samples.size() <= bytes.size() - 44 && bytes.indexOf(wave.Samples, 44) >= 44);
    return 0;
}
