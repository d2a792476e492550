#pragma once

// The version of the rules, written into every recording ("# rules N"). It
// changes whenever the same keys at the same ticks would give another game:
// a recording of other rules replays otherwise, and the verifier refuses it.
const char* RulesVersion();
