#pragma once
// The staff gate: a single secret letter, typed in either case.

// The secret letter, fixed when the program is built.
#ifndef ZEP_SECRET_CODE
#define ZEP_SECRET_CODE 'K'
#endif
constexpr char SecretCode = ZEP_SECRET_CODE;
static_assert(SecretCode >= 'A' && SecretCode <= 'Z', "the secret code is one upper-case letter");

// Asks for the secret code until it is typed (true) or the operator cancels (false).
bool CheckSecretCode();
