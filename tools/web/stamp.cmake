# Writes the game's file sizes for the page's progress bar (sizes.js: a server that compresses
# declares only the compressed size, or none) and the page's service worker (sw.js) from its
# template, naming its cache after a digest of every file it caches.
# usage: cmake -DPAGE=DIR -DTEMPLATE=sw.js.in -P stamp.cmake
file(SIZE ${PAGE}/farwake.wasm wasm_size)
file(SIZE ${PAGE}/farwake.data data_size)
file(WRITE ${PAGE}/sizes.js "// The game's files' sizes as built, written by the build.\n"
     "window.fwSizes = { 'farwake.wasm': ${wasm_size}, 'farwake.data': ${data_size} };\n")
set(files index.html page.js load.js verdict.js runs.js sizes.js manifest.webmanifest farwake.js
    farwake.wasm farwake.data icons/farwake-128.png icons/farwake-192.png icons/farwake-256.png
    icons/farwake-512.png icons/farwake-maskable.png)
set(all "")
foreach(f ${files})
  file(SHA256 ${PAGE}/${f} digest)
  string(APPEND all "${f}:${digest}\n")
endforeach()
string(SHA256 version "${all}")
string(SUBSTRING ${version} 0 16 FW_CACHE_VERSION)
set(FW_CACHE_FILES "")
foreach(f ${files})
  string(APPEND FW_CACHE_FILES "  '${f}',\n")
endforeach()
configure_file(${TEMPLATE} ${PAGE}/sw.js @ONLY)
