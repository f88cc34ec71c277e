#ifndef VELIXFW_TESTS_C_CALLER_H
#define VELIXFW_TESTS_C_CALLER_H
/* Calls into the library from a C translation unit. */
#ifdef __cplusplus
extern "C" {
#endif

int DeviceModeFromC(void);

#ifdef __cplusplus
}
#endif

#endif
