// The settings scrambler: any stored text decodes or raises the conversion
// error, and whatever decodes scrambles back to a text that decodes the same.
#include "DataMod.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString stored = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    QString clear;
    try {
        clear = TDM::DecodeString(stored);
    } catch (const EConvertError&) {
        kvfuzz::Check(TDM::DecodeOrEmpty(stored).isEmpty());
        return 0;
    }
    kvfuzz::Check(TDM::DecodeString(TDM::EncodeString(clear)) == clear);
    // And any text, scrambled, reads back as itself.
    const QString text = kvfuzz::Text(data, size);
    kvfuzz::Check(TDM::DecodeString(TDM::EncodeString(text)) == text);
    return 0;
}
