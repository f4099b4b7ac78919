#pragma once
// The staff gate: a single secret letter, typed in either case.

// The secret letter, fixed when the program is built (cmake -DZEP_SECRET_CODE=<letter>).
#ifndef ZEP_SECRET_CODE
#define ZEP_SECRET_CODE K
#endif
#define ZEP_LETTER_TEXT(x) #x
#define ZEP_LETTER(x) ZEP_LETTER_TEXT(x)
constexpr char SecretCode = ZEP_LETTER(ZEP_SECRET_CODE)[0];
static_assert(SecretCode >= 'A' && SecretCode <= 'Z', "the secret code is one upper-case letter");

// How long the next try waits after `misses` wrong codes in a row: nothing for the first
// three, then 2, 4, 8 ... seconds, never more than 30. Trying every letter then takes
// minutes of waiting instead of 26 quick guesses.
int SecretCodeDelay(int misses);

// Asks for the secret code until it is typed (true) or the operator cancels (false).
bool CheckSecretCode();
