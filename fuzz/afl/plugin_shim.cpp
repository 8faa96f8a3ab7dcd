// A GCC plugin that loads AFL++'s instrumentation plugin for a compiler of
// the same release but another package revision.
//
// GCC refuses a plugin unless the compiler's version record matches the one
// the plugin was built against, down to the configure line, which names the
// distribution's package revision and build directory. A Debian point release
// of GCC changes that line while AFL++'s plugin stays built against the
// earlier revision, so afl-g++-fast stops with "GCC and plugin have
// incompatible versions". Within one GCC release the plugin interface is the
// same, so this shim hands the real plugin the compiler's version record with
// only the configure line replaced by the one the plugin was built with
// (AFL_SHIM_CONFIGURE, read from the plugin when the shim is built). Release,
// date stamp and phase are still checked by the real plugin.
//
// Built by scripts/fuzz.sh only when the plain plugin fails that check.
#include <dlfcn.h>
#include <gcc-plugin.h>

#include <cstdio>

#ifndef AFL_SHIM_PLUGIN
#error "AFL_SHIM_PLUGIN: the path of AFL++'s GCC plugin"
#endif
#ifndef AFL_SHIM_CONFIGURE
#error "AFL_SHIM_CONFIGURE: the configure line that plugin was built with"
#endif

int plugin_is_GPL_compatible;

int plugin_init(struct plugin_name_args* info, struct plugin_gcc_version* version) {
  void* plugin = ::dlopen(AFL_SHIM_PLUGIN, RTLD_NOW | RTLD_GLOBAL);
  if (!plugin) {
    std::fprintf(stderr, "afl plugin shim: %s\n", ::dlerror());
    return 1;
  }
  using Init = int (*)(struct plugin_name_args*, struct plugin_gcc_version*);
  const auto init = reinterpret_cast<Init>(::dlsym(plugin, "plugin_init"));
  if (!init) {
    std::fprintf(stderr, "afl plugin shim: no plugin_init in %s\n", AFL_SHIM_PLUGIN);
    return 1;
  }
  struct plugin_gcc_version same = *version;
  same.configuration_arguments = AFL_SHIM_CONFIGURE;
  return init(info, &same);
}
