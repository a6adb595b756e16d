// Renders arbitrary 65-byte records in both formats, for both targets and
// both languages. The record lives in a heap block of exactly one slot, so a
// read past the slot is an AddressSanitizer finding.
#include "fuzz_support.h"

#include "core/keypad/config_store.h"
#include "core/keypad/record_render.h"

#include <QString>

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceQtLog();
    ByteCursor in(data, size);
    const uint8_t flags = in.byte();
    const bool current = flags & 0x01;
    const RenderTarget target = (flags & 0x02) ? RenderTarget::KeyButton : RenderTarget::TextBox;
    const int language = (flags & 0x04) ? 1 : ((flags & 0x08) ? 0 : flags >> 4);

    auto record = std::make_unique<uint8_t[]>(kSlotBytes);
    std::memset(record.get(), 0, kSlotBytes);
    in.copy(record.get(), kSlotBytes);

    const QString text = RecordRender::renderRecord(record.get(), current, target, language);
    const bool empty = RecordRender::isEmptyRecord(record.get(), current);
    const QString label = RecordRender::keyButtonLabel(record.get(), current, language);
    if (empty)
        FUZZ_CHECK(label == QLatin1String("NULL"));
    else
        FUZZ_CHECK(label == RecordRender::renderRecord(record.get(), current, RenderTarget::KeyButton, language));

    // Rendering reads; it never writes into the record.
    auto copy = std::make_unique<uint8_t[]>(kSlotBytes);
    std::memset(copy.get(), 0, kSlotBytes);
    ByteCursor again(data, size);
    again.byte();
    again.copy(copy.get(), kSlotBytes);
    FUZZ_CHECK(std::memcmp(copy.get(), record.get(), kSlotBytes) == 0);

    // The per-byte captions of the delay page and the lighting text.
    for (int i = 0; i < kSlotBytes; ++i) {
        const RecordRender::DelaySlotCaption slot = RecordRender::delaySlotCaption(record[i], language);
        if (slot.changeCaption)
            FUZZ_CHECK(!slot.caption.isEmpty());
        RecordRender::keyboardCaption(record[i], language);
        RecordRender::consumerCaption(record[i], language);
    }
    RecordRender::lightingText(record[11], language, flags & 0x10);
    return 0;
}
