#pragma once
// ChaCha20 stream cipher (RFC 8439), used to code stored passwords.
#include <QByteArray>
#include <array>
#include <cstdint>

namespace ChaCha20 {
using Key = std::array<uint8_t, 32>;
using Nonce = std::array<uint8_t, 12>;
// XORs data with the key stream starting at block counter `counter`.
QByteArray apply(const Key &key, const Nonce &nonce, uint32_t counter, const QByteArray &data);
}
