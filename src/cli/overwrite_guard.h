// Asking before an existing destination is replaced.
#pragma once

// Returns when the destination is absent or the user agrees to replace it;
// otherwise ends the process with the status for a refused overwrite.
void guard_overwrite(const char* destination);

// The key's answer: y or Y agrees.
bool key_agrees(int key);

// Reads the answer key: from the console one key without Enter; otherwise the
// first character of one line of standard input, -1 for an empty line or the
// end of input.
int read_answer_key();
