#include "programmer/registers.h"

#include "programmer/download_frame.h"

namespace programmer {

namespace {

std::uint32_t valueOf(const Reply& reply) {
    return static_cast<std::uint32_t>(reply.bytes[0] << 16 | reply.bytes[1] << 8 | reply.bytes[2]);
}

// The reads of one refresh; the first that did not bring its three bytes is kept.
class RegisterReads {
public:
    explicit RegisterReads(ProgrammerLink& link) : link_(link) {}

    Reply read(std::uint8_t number) {
        const Reply reply = cmd::readRegister(link_, number);
        if (complete_ && !reply.complete(3)) {
            complete_ = false;
            failed_ = reply;
        }
        return reply;
    }
    std::uint32_t value(std::uint8_t number) { return valueOf(read(number)); }
    bool complete() const { return complete_; }
    const Reply& failed() const { return failed_; }

private:
    ProgrammerLink& link_;
    bool complete_ = true;
    Reply failed_;
};

std::string hex6(std::uint32_t value) {
    return formatMessage("0x%06X", static_cast<unsigned>(value & 0xFFFFFF));
}

} // namespace

std::string hb0DecimalText(std::uint32_t value) {
    value &= 0xFFFFFF;
    if (value & 0x800000) return formatMessage("(-%u d)", 0x1000000u - value);
    return formatMessage("(%u d)", static_cast<unsigned>(value));
}

RegisterTexts registerTexts(const RegisterValues& values) {
    RegisterTexts texts;
    texts.signum = (values.flags & wire::flag_signum) != 0;
    texts.notEqual = (values.flags & wire::flag_not_equal) != 0;
    texts.overflow = (values.flags & wire::flag_overflow) != 0;
    texts.carry = (values.flags & wire::flag_carry) != 0;
    texts.lastAddress = formatMessage("0x%04X", static_cast<unsigned>(values.programAddress));
    texts.x = hex6(values.x);
    texts.y = hex6(values.y);
    texts.z = hex6(values.z);
    texts.hb0 = hex6(values.hb0);
    texts.hb0Decimal = hb0DecimalText(values.hb0);
    texts.ramAddress = formatMessage("0x%02X", static_cast<unsigned>(values.ramAddress));
    texts.ramContent = hex6(values.ramContent);
    return texts;
}

bool refreshRegisterDisplay(ProgrammerLink& link, DebuggerView& view, RegisterDisplay& display,
                            Reply& failed) {
    RegisterReads reads(link);
    RegisterValues v;
    const Reply status = reads.read(wire::reg_status);
    v.flags = status.bytes[0];
    v.programAddress = wire::programAddress(status.bytes[1], status.bytes[2]);
    v.x = reads.value(wire::reg_accu_x);
    v.y = reads.value(wire::reg_accu_y);
    v.z = reads.value(wire::reg_accu_z);
    v.hb0 = reads.value(wire::reg_hb0);
    const Reply pointer = reads.read(wire::reg_ram_pointer);
    v.ramAddress = wire::ramAddress(pointer.bytes[1], pointer.bytes[2]);
    v.ramContent = reads.value(v.ramAddress);
    if (!reads.complete()) {
        failed = reads.failed();
        return false;
    }
    display.values = v;

    RegisterTexts texts = registerTexts(v);
    if ((v.ramAddress != display.previousRamAddress ||
         texts.ramContent != display.previousContentText) &&
        !display.previousAddressText.empty()) {
        texts.showPrevious = true;
        texts.previousRamAddress = display.previousAddressText;
        texts.previousRamContent = display.previousContentText;
    }
    view.showRegisters(texts);
    display.previousContentText = texts.ramContent;
    display.previousRamAddress = v.ramAddress;
    display.previousAddressText = texts.ramAddress;
    return true;
}

void resetRegisterDisplay(DebuggerView& view, RegisterDisplay& display) {
    display = RegisterDisplay{};
    view.resetRegisters();
}

} // namespace programmer
