// The usage and examples texts.
#pragma once

void print_usage(const char* program_name);
void print_examples();
