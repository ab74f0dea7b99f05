// The cost of one frame through frei0r modules, each loaded as a host loads it: dlopen,
// f0r_init, f0r_construct, f0r_update per frame, f0r_destruct, f0r_deinit. The modules take
// turns, ROUNDS times, and each prints the median of its rounds in microseconds per frame,
// wall and CPU (all the module's threads; the least of the rounds: on a shared machine the
// steadier figure).
//   frei0r_frame_cost WIDTH HEIGHT FRAMES ROUNDS MODULE.so...
// PARAMS="v0|v1|..." sets the parameters in index order before the frames, as FFmpeg's
// frei0r filter reads them: a number for a double or a boolean, r/g/b for a colour, x/y for
// a position, anything else as a string.
#include <dlfcn.h>
#include <frei0r.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

static double CpuNow(void) {
    struct timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

// PARAMS, in index order, by each parameter's type.
static void SetParams(void* library, f0r_instance_t instance) {
    const char* given = getenv("PARAMS");
    void (*info)(f0r_param_info_t*, int) = (void (*)(f0r_param_info_t*, int))dlsym(library, "f0r_get_param_info");
    void (*set)(f0r_instance_t, f0r_param_t, int) = (void (*)(f0r_instance_t, f0r_param_t, int))dlsym(library, "f0r_set_param_value");
    if (!given || !info || !set) return;
    char* values = strdup(given);
    char* rest = values;
    for (int index = 0; rest; ++index) {
        char* value = strsep(&rest, "|");
        f0r_param_info_t param;
        info(&param, index);
        if (param.type == F0R_PARAM_DOUBLE || param.type == F0R_PARAM_BOOL) {
            double number = atof(value);
            set(instance, &number, index);
        } else if (param.type == F0R_PARAM_COLOR) {
            f0r_param_color_t colour = {0, 0, 0};
            sscanf(value, "%f/%f/%f", &colour.r, &colour.g, &colour.b);
            set(instance, &colour, index);
        } else if (param.type == F0R_PARAM_POSITION) {
            f0r_param_position_t position = {0, 0};
            sscanf(value, "%lf/%lf", &position.x, &position.y);
            set(instance, &position, index);
        } else {
            set(instance, &value, index);
        }
    }
    free(values);
}

static int Ascending(const void* a, const void* b) {
    const double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

// Microseconds per frame of FRAMES updates through one instance (wall, and CPU in *cpu), or
// a negative value.
static double TimeModule(const char* path, int width, int height, int frames, const uint32_t* in, uint32_t* out,
                         double* cpu) {
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!library) return fprintf(stderr, "%s\n", dlerror()), -1;
    int (*init)(void) = (int (*)(void))dlsym(library, "f0r_init");
    void (*deinit)(void) = (void (*)(void))dlsym(library, "f0r_deinit");
    f0r_instance_t (*construct)(unsigned, unsigned) = (f0r_instance_t(*)(unsigned, unsigned))dlsym(library, "f0r_construct");
    void (*destruct)(f0r_instance_t) = (void (*)(f0r_instance_t))dlsym(library, "f0r_destruct");
    void (*update)(f0r_instance_t, double, const uint32_t*, uint32_t*) =
        (void (*)(f0r_instance_t, double, const uint32_t*, uint32_t*))dlsym(library, "f0r_update");
    if (!init || !deinit || !construct || !destruct || !update || !init()) return dlclose(library), -1;
    f0r_instance_t instance = construct((unsigned)width, (unsigned)height);
    double micros = -1;
    if (instance) {
        SetParams(library, instance);
        update(instance, 0.0, in, out);  // the first frame sets up what every later one reuses
        const double start = Now(), cpu_start = CpuNow();
        for (int frame = 0; frame < frames; ++frame) update(instance, frame / 25.0, in, out);
        micros = (Now() - start) / frames;
        *cpu = (CpuNow() - cpu_start) / frames;
        destruct(instance);
    }
    deinit();
    dlclose(library);
    return micros;
}

int main(int argc, char** argv) {
    if (argc < 6) return fprintf(stderr, "usage: %s WIDTH HEIGHT FRAMES ROUNDS MODULE.so...\n", argv[0]), 2;
    const int width = atoi(argv[1]), height = atoi(argv[2]), frames = atoi(argv[3]), rounds = atoi(argv[4]);
    const int modules = argc - 5;
    if (width <= 0 || height <= 0 || frames <= 0 || rounds <= 0 || rounds > 99) return fprintf(stderr, "bad sizes\n"), 2;
    const size_t pixels = (size_t)width * (size_t)height;
    uint32_t* in = malloc(pixels * 4);
    uint32_t* out = malloc(pixels * 4);
    double* times = malloc(sizeof(double) * (size_t)(rounds * modules));
    double* cpus = malloc(sizeof(double) * (size_t)(rounds * modules));
    if (!in || !out || !times || !cpus) return 1;
    for (size_t i = 0; i < pixels; ++i) in[i] = (uint32_t)(i * 2654435761u) | 0xFF000000u;  // detail, opaque
    for (int round = 0; round < rounds; ++round) {
        for (int m = 0; m < modules; ++m) {
            times[m * rounds + round] = TimeModule(argv[5 + m], width, height, frames, in, out, &cpus[m * rounds + round]);
            if (times[m * rounds + round] < 0) return fprintf(stderr, "%s: cannot time\n", argv[5 + m]), 1;
        }
    }
    for (int m = 0; m < modules; ++m) {
        qsort(times + m * rounds, (size_t)rounds, sizeof(double), Ascending);
        qsort(cpus + m * rounds, (size_t)rounds, sizeof(double), Ascending);
        printf("%dx%d %-40s %10.1f us/frame (median of %d rounds of %d frames), CPU %.1f us (least)\n", width, height,
               argv[5 + m], times[m * rounds + rounds / 2], rounds, frames, cpus[m * rounds]);
    }
    free(in), free(out), free(times), free(cpus);
    return 0;
}
