/* A frei0r host as small as the real ones are in what they do with a module's life: MLT and
 * the frei0r project's test runner open the module, use it and close it again, many times in
 * one process. Two modes:
 *
 *   frei0r_load_cycles cycles MODULE N
 *       N cycles of dlopen, f0r_init, f0r_get_plugin_info, f0r_get_param_info, f0r_construct,
 *       f0r_set_param_value, f0r_update, f0r_destruct, f0r_deinit, dlclose. After each
 *       dlclose neither the module nor the plug-in it loads may still be mapped, and the
 *       heap may not grow: the bytes in use after N cycles are compared with those after
 *       ten cycles that warm up. Prints the growth; fails above 512 bytes.
 *
 *   frei0r_load_cycles exit-while-rendering MODULE
 *       Starts threads that render through their own instances without end, calls f0r_deinit
 *       and ends the process from the main thread while they render, as an editor does when
 *       closed during playback: neither may take the effect from under them.
 *
 * Exit codes: 0 pass, 1 fail, 2 wrong use.
 */
#include <dlfcn.h>
#include <frei0r.h>
#include <malloc.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef struct {
    void* handle;
    int (*init)(void);
    void (*deinit)(void);
    void (*get_plugin_info)(f0r_plugin_info_t*);
    void (*get_param_info)(f0r_param_info_t*, int);
    f0r_instance_t (*construct)(unsigned int, unsigned int);
    void (*destruct)(f0r_instance_t);
    void (*set_param_value)(f0r_instance_t, f0r_param_t, int);
    void (*update)(f0r_instance_t, double, const uint32_t*, uint32_t*);
} Module;

enum { kWidth = 64, kHeight = 36, kWarmUpCycles = 10, kMostGrowth = 512 };

static int Open(const char* path, Module* m) {
    memset(m, 0, sizeof *m);
    m->handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!m->handle) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        return 0;
    }
    *(void**)&m->init = dlsym(m->handle, "f0r_init");
    *(void**)&m->deinit = dlsym(m->handle, "f0r_deinit");
    *(void**)&m->get_plugin_info = dlsym(m->handle, "f0r_get_plugin_info");
    *(void**)&m->get_param_info = dlsym(m->handle, "f0r_get_param_info");
    *(void**)&m->construct = dlsym(m->handle, "f0r_construct");
    *(void**)&m->destruct = dlsym(m->handle, "f0r_destruct");
    *(void**)&m->set_param_value = dlsym(m->handle, "f0r_set_param_value");
    *(void**)&m->update = dlsym(m->handle, "f0r_update");
    if (!m->init || !m->deinit || !m->get_plugin_info || !m->get_param_info || !m->construct || !m->destruct ||
        !m->set_param_value || !m->update) {
        fprintf(stderr, "%s lacks a frei0r entry point\n", path);
        return 0;
    }
    return 1;
}

/* Whether the library at `path` is mapped in this process (RTLD_NOLOAD loads nothing). */
static int Mapped(const char* path) {
    void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return 0;
    dlclose(handle);
    return 1;
}

/* The plug-in as the package lays it out beside the module: lib/frei0r-1/../qx-vignette/. */
static void PluginPath(const char* module, char* path, size_t size) {
    const char* slash = strrchr(module, '/');
    int directory = slash ? (int)(slash - module) : 1;
    snprintf(path, size, "%.*s/../qx-vignette/QX_Vignette.so", directory, slash ? module : ".");
}

static size_t HeapInUse(void) {
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

static int Cycle(const char* path, const char* plugin) {
    Module m;
    if (!Open(path, &m)) return 0;
    int ok = m.init();
    if (ok) {
        f0r_plugin_info_t info;
        memset(&info, 0, sizeof info);
        m.get_plugin_info(&info);
        for (int i = 0; i < info.num_params; ++i) {
            f0r_param_info_t param;
            m.get_param_info(&param, i);
        }
        f0r_instance_t instance = m.construct(kWidth, kHeight);
        static uint32_t in[kWidth * kHeight], out[kWidth * kHeight];
        for (int i = 0; i < kWidth * kHeight; ++i) in[i] = 0xFF8040C0u;
        double width = 0.4;
        ok = instance != NULL;
        if (instance) {
            m.set_param_value(instance, &width, 3);
            /* Three frames, as a clip renders: the second keeps its masks, the third reads them
             * (kept until the plug-in unloads). */
            static uint32_t first[kWidth * kHeight];
            m.update(instance, 0.0, in, first);
            m.update(instance, 1.0, in, out);
            m.update(instance, 2.0, in, out);
            /* The corner is outside the default ellipse: darkened. */
            ok = out[0] != in[0] && memcmp(first, out, sizeof out) == 0;
            m.destruct(instance);
        }
        if (!ok) fprintf(stderr, "the module rendered nothing, or frames that differ\n");
    } else {
        fprintf(stderr, "f0r_init failed\n");
    }
    m.deinit();
    dlclose(m.handle);
    if (Mapped(path) || Mapped(plugin)) {
        fprintf(stderr, "still mapped after dlclose: %s\n", Mapped(path) ? path : plugin);
        return 0;
    }
    return ok;
}

static int Cycles(const char* path, int n) {
    char plugin[4096];
    PluginPath(path, plugin, sizeof plugin);
    /* The first cycles bring in what stays for the process whoever loads what (the C++
     * runtime's emergency pool, the loader's tables of modules and their thread-local
     * storage, the arenas of the threads that rendered). */
    for (int i = 0; i < kWarmUpCycles; ++i) {
        if (!Cycle(path, plugin)) return 1;
    }
    const size_t before = HeapInUse();
    for (int i = 0; i < n; ++i) {
        if (!Cycle(path, plugin)) return 1;
    }
    const long growth = (long)HeapInUse() - (long)before;
    printf("heap growth over %d load/unload cycles: %ld bytes (%.1f per cycle)\n", n, growth, (double)growth / n);
    return growth > kMostGrowth ? 1 : 0;
}

static Module g_module;

static void* RenderForever(void* arg) {
    (void)arg;
    f0r_instance_t instance = g_module.construct(kWidth, kHeight);
    if (!instance) return NULL;
    uint32_t* in = calloc(kWidth * kHeight, 4);
    uint32_t* out = calloc(kWidth * kHeight, 4);
    for (double t = 0;; t += 1) g_module.update(instance, t, in, out);
    return NULL;
}

static int ExitWhileRendering(const char* path) {
    if (!Open(path, &g_module) || !g_module.init()) return 1;
    pthread_t threads[3];
    for (int i = 0; i < 3; ++i) pthread_create(&threads[i], NULL, RenderForever, NULL);
    usleep(50 * 1000);
    /* As FFmpeg does for one filter while another still renders, then exit(), which runs the
     * static destructors of the program and of every loaded library while the threads are
     * inside f0r_update. */
    g_module.deinit();
    exit(0);
}

int main(int argc, char** argv) {
    /* Blocks freed into the per-thread caches of glibc's malloc still count as in use; without
     * the caches the heap's figure is exact. */
    if (!getenv("GLIBC_TUNABLES")) {
        setenv("GLIBC_TUNABLES", "glibc.malloc.tcache_count=0", 1);
        execv("/proc/self/exe", argv);
    }
    if (argc == 4 && strcmp(argv[1], "cycles") == 0) return Cycles(argv[2], atoi(argv[3]) > 0 ? atoi(argv[3]) : 1);
    if (argc == 3 && strcmp(argv[1], "exit-while-rendering") == 0) return ExitWhileRendering(argv[2]);
    fprintf(stderr, "usage: %s cycles MODULE N | exit-while-rendering MODULE\n", argv[0]);
    return 2;
}
