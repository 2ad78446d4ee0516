# The fuzz targets, each fuzz/<name>.cpp with its seed corpus in
# fuzz/corpus/<name>/, and the library each one links. Read by the fuzz build
# and by the tests, which replay every corpus.
set(VORNA_FUZZ_TARGETS
  field_format_fuzz
  line_splitter_fuzz
  number_reader_fuzz
  plot_readers_fuzz)
set(VORNA_FUZZ_LIBRARY_field_format_fuzz vorna_text)
set(VORNA_FUZZ_LIBRARY_line_splitter_fuzz vorna_runtime)
set(VORNA_FUZZ_LIBRARY_number_reader_fuzz vorna_text)
set(VORNA_FUZZ_LIBRARY_plot_readers_fuzz vorna_picture)
