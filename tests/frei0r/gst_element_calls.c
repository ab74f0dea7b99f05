/* Calls a frei0r module from a library named as GStreamer's frei0r element (libgstfrei0r.so),
 * so that tests and the fuzzer reach the module as a running GStreamer element does: the module
 * decides how to read a string by the library that calls it. For tests only; it lies on no
 * plug-in path. */
#include <frei0r.h>

__attribute__((visibility("default"))) void qxv_set_as_gstreamer_element(void (*set)(f0r_instance_t, f0r_param_t, int), f0r_instance_t instance,
                                  f0r_param_t value, int index) {
    set(instance, value, index);
    /* Not a tail call: the module must see a return address in this library. */
    __asm__ volatile("" ::: "memory");
}
