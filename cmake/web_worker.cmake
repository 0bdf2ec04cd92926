# Writes the site's service worker with its cache named after the build: a digest of every
# file the worker keeps, so any change to the site gives a new cache and removes the old.
#   cmake -DSITE=<site> -DSOURCE=<web/sw.js> -DFILES=<file,...> -P web_worker.cmake
string(REPLACE "," ";" FILES "${FILES}")
set(digests "")
foreach(file IN LISTS FILES)
    file(SHA256 "${SITE}/${file}" digest)
    string(APPEND digests "${digest}\n")
endforeach()
string(SHA256 build "${digests}")
string(SUBSTRING "${build}" 0 16 RAVELA_BUILD)
configure_file("${SOURCE}" "${SITE}/sw.js" @ONLY)
