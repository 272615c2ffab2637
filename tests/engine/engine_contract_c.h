/* Contract checks written in C, run by engine_c_test.cc: the engine's header
 * and library used from a C program. Each check returns NULL when it passes
 * and a description of the first failure otherwise. */
#ifndef LEXIVANE_TESTS_ENGINE_ENGINE_CONTRACT_C_H_
#define LEXIVANE_TESTS_ENGINE_ENGINE_CONTRACT_C_H_

#ifdef __cplusplus
extern "C" {
#endif

/* `path` holds the sample dictionary of test_dictionary.h. */
const char* c_check_word_list(const char* path);
const char* c_check_lookup_and_print(const char* path);
const char* c_check_history(const char* path);
const char* c_check_close(const char* path);

#ifdef __cplusplus
}
#endif

#endif /* LEXIVANE_TESTS_ENGINE_ENGINE_CONTRACT_C_H_ */
