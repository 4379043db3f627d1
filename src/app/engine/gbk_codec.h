#pragma once

#include <QString>

#include <string>
#include <string_view>

// Text on the wire and in the views: received bytes shown as characters and
// send-view lines sent as characters are GBK (ASCII-compatible).

// Decodes a whole byte string at once. Bytes that form no character, including
// a lead byte left alone at the end, become U+FFFD.
QString DecodeGbk(std::string_view bytes);

// Encodes text for sending; characters GBK cannot hold become "?".
std::string EncodeGbk(const QString &text);
