namespace vorna {
// The warnings this run has written on standard error, in order; each text is the line as it
// follows "vorna: warning: " (without CR LF).
int run_warning_count();
const char* run_warning_text(int index);
}  // namespace vorna
