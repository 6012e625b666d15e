# The browser build of vxgame (included from the top CMakeLists.txt under
# emcmake): index.html with its .js and .wasm, and the data set packed into
# index.data, which the page unpacks into /dataset before the game starts.
# VX_WEB_DATASET names a data set written by the native vxdata
# (scripts/build-web.sh makes one).
set(VX_WEB_DATASET "" CACHE PATH "a data set written by the native vxdata, packed into the page")
if(NOT VX_WEB_DATASET OR NOT EXISTS "${VX_WEB_DATASET}/manifest.txt")
  message(FATAL_ERROR "VX_WEB_DATASET must name a data set written by vxdata (scripts/build-web.sh makes one)")
endif()

# The music decoder: a library call in the page (a program has no processes
# there), and the program itself, for node, which the browser check runs to
# compare its tracks with the native decoder's.
add_subdirectory(tools/musicdec)
target_link_options(musicdec PRIVATE -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)

add_executable(vxgame src/main.cpp)
target_link_libraries(vxgame PRIVATE vxcore musicdec_lib)
target_compile_definitions(vxgame PRIVATE VX_DATASET_FROM_BIN="dataset")
set_target_properties(vxgame PROPERTIES OUTPUT_NAME index SUFFIX ".html")
set(VX_WEB_SHELL ${CMAKE_SOURCE_DIR}/dist/web/shell.html)
target_link_options(vxgame PRIVATE
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=134217728 -sTOTAL_STACK=8388608
  -sEXIT_RUNTIME=1 -sFORCE_FILESYSTEM=1 -lidbfs.js
  "-sEXPORTED_RUNTIME_METHODS=['FS','callMain']"
  -sINVOKE_RUN=0 -sMINIFY_HTML=0
  --shell-file ${VX_WEB_SHELL}
  "--preload-file" "${VX_WEB_DATASET}@/dataset")
set_property(TARGET vxgame APPEND PROPERTY LINK_DEPENDS ${VX_WEB_SHELL} ${VX_WEB_DATASET}/manifest.txt)
