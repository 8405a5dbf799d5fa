/* The C interface between the host and an archiver module: the type of each
   entry point and the end of its name. The modules define their entry points
   (Module.h, Passwords.h), the engine and the tests look them up by name; all
   include this one header so that both sides agree. Plain C, no C++. */
#ifndef RKARC_MODULE_INTERFACE_H
#define RKARC_MODULE_INTERFACE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Called from the thread that runs the command with the bytes of the archive
   read so far and the archive's size; at most a few times a second. */
typedef void (*RkProgressFn)(void* context, uint64_t done, uint64_t total);

/* The entry points of a module with prefix P (UTF-8 strings). */
/* P: runs one command; its report lands in `report` (NUL-terminated). */
typedef int32_t (*RkCommandFn)(void* window, const char* command, char* report, uint32_t size);
/* IshEx, the command of ISH32.DLL, takes no window. */
typedef int32_t (*RkIshCommandFn)(const char* command, char* report, uint32_t size);
/* PCheckArchive: 1 when the module can extract the file. */
typedef int32_t (*RkCheckArchiveFn)(const char* path, int32_t mode);
/* PGetRunning: non-zero while a command runs. */
typedef int32_t (*RkGetRunningFn)(void);
/* PGetVersion: the module's version x 100 (BZ2LIB.DLL exports only this one). */
typedef int32_t (*RkGetVersionFn)(void);
/* PSetProgress, optional: the progress callback of later commands. */
typedef void (*RkSetProgressFn)(RkProgressFn fn, void* context);
/* PSetPasswords, optional: the passwords of later commands (Passwords.h). */
typedef int32_t (*RkSetPasswordsFn)(const char* const* list, int32_t count);

#ifdef __cplusplus
}
#endif

/* The name of an entry point is the prefix followed by one of these; the
   command is the prefix alone. */
#define RKARC_CHECK_ARCHIVE_SUFFIX "CheckArchive"
#define RKARC_GET_RUNNING_SUFFIX "GetRunning"
#define RKARC_GET_VERSION_SUFFIX "GetVersion"
#define RKARC_SET_PROGRESS_SUFFIX "SetProgress"
#define RKARC_SET_PASSWORDS_SUFFIX "SetPasswords"
#define RKARC_ISH_COMMAND_NAME "IshEx"

#endif /* RKARC_MODULE_INTERFACE_H */
