/* Starts each program given, in turn, RUNS times (the order turning each
 * round), and prints one line a run:
 *   NAME ROUND READY_MS PEAK_WORKING_SET_KB NEXT_TO_EXIT_MS
 * READY_MS runs from just before CreateProcessW to the moment the program
 * waits for input (WaitForInputIdle) with its "Select Port Type" window
 * visible and answering messages. The peak working set is read from the
 * process once it is ready; then a click on "Next (&N)" is posted and the
 * time to the process's exit measured.
 *
 * launcher RUNS NAME=PROGRAM [NAME=PROGRAM ...] */
#define PSAPI_VERSION 2
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

struct Search {
    DWORD processId;
    HWND found;
};

static BOOL CALLBACK FindDialog(HWND window, LPARAM parameter)
{
    struct Search* search = (struct Search*)parameter;
    DWORD processId = 0;
    wchar_t title[64];
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window) && GetWindowTextW(window, title, 64) > 0 &&
        wcscmp(title, L"Select Port Type") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return (double)(to.QuadPart - from.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

static int RunOnce(const wchar_t* name, const wchar_t* program, int round, LARGE_INTEGER frequency)
{
    STARTUPINFOW startup = {0};
    PROCESS_INFORMATION process = {0};
    PROCESS_MEMORY_COUNTERS memory = {0};
    struct Search search = {0, NULL};
    LARGE_INTEGER start, ready, clicked, ended;
    DWORD_PTR answer = 0;
    HWND next;
    int waited;

    startup.cb = sizeof startup;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program, NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        fwprintf(stderr, L"%ls: cannot start %ls (error %lu)\n", name, program, GetLastError());
        return 1;
    }
    WaitForInputIdle(process.hProcess, 20000);
    search.processId = process.dwProcessId;
    for (waited = 0; waited < 20000; ++waited) {
        EnumWindows(FindDialog, (LPARAM)&search);
        if (search.found != NULL &&
            SendMessageTimeoutW(search.found, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) != 0) {
            break;
        }
        Sleep(1);
    }
    QueryPerformanceCounter(&ready);
    if (search.found == NULL) {
        fwprintf(stderr, L"%ls: no window\n", name);
        TerminateProcess(process.hProcess, 1);
        return 1;
    }

    Sleep(300);
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);

    next = FindWindowExW(search.found, NULL, L"Button", L"Next (&N)");
    QueryPerformanceCounter(&clicked);
    PostMessageW(next, BM_CLICK, 0, 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) {
        /* A run that does not end measures nothing: it fails the benchmark. */
        fwprintf(stderr, L"%ls: still running 20 s after Next\n", name);
        TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return 1;
    }
    QueryPerformanceCounter(&ended);

    wprintf(L"%ls %d %.2f %lu %.2f\n", name, round, Milliseconds(start, ready, frequency),
            (unsigned long)(memory.PeakWorkingSetSize / 1024), Milliseconds(clicked, ended, frequency));
    fflush(stdout);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

int wmain(int argc, wchar_t** argv)
{
    LARGE_INTEGER frequency;
    int runs, round, i, failures = 0;
    const int programs = argc - 2;
    if (argc < 3) {
        fwprintf(stderr, L"launcher RUNS NAME=PROGRAM...\n");
        return 2;
    }
    runs = _wtoi(argv[1]);
    QueryPerformanceFrequency(&frequency);
    for (round = 0; round < runs; ++round) {
        for (i = 0; i < programs; ++i) {
            wchar_t* argument = argv[2 + (round + i) % programs];
            wchar_t name[64];
            wchar_t* equals = wcschr(argument, L'=');
            if (equals == NULL || equals - argument >= 64) {
                return 2;
            }
            wmemcpy(name, argument, (size_t)(equals - argument));
            name[equals - argument] = L'\0';
            failures += RunOnce(name, equals + 1, round, frequency);
        }
    }
    return failures == 0 ? 0 : 1;
}
