#pragma once
// Appended by the dialogs to the end of their message texts.
inline constexpr const char16_t* kEndStop = u"。";
inline constexpr const char16_t* kEndExclaim = u"!";
inline constexpr const char16_t* kEndQuestion = u"?";
