// libFuzzer entry: any input, taken as a coded block, as a container and as
// a text to pack, must keep the properties of LzrwCheck. A broken one
// aborts with what broke, so the fuzzer keeps the input.

#include "lzrwcheck.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::string broken = LzrwCheck::checkAll(input);
    if (!broken.empty()) {
        std::fprintf(stderr, "lzrw_fuzzer: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
