# The fuzz targets, each built as <name>_fuzzer from fuzz/ with its seed
# corpus in fuzz/corpus/<name>. Read by fuzz/CMakeLists.txt (which builds
# them) and by FuzzTests.cmake (which runs them in the sanitizer tests).
set(FUZZ_TARGETS profile_parser optimizer late_binding registry_value decrypt crc32_file)
# Seconds one input may take before libFuzzer reports a hang; a target not
# named here gets 10. decrypt may meet an envelope that asks for the most key
# derivation rounds the component accepts (ten million, several seconds).
set(FUZZ_TIMEOUT_decrypt 30)
