# Imports ONNX Runtime as the target orvello::onnxruntime, from the files that
# scripts/setup installed (runtime library plus C API header).
set(ORVELLO_ORT_VERSION 1.30.0)
set(ORVELLO_ORT_DIR "/opt/orvello-deps/onnxruntime/${ORVELLO_ORT_VERSION}" CACHE PATH
    "ONNX Runtime as laid out by scripts/setup")
if(NOT EXISTS "${ORVELLO_ORT_DIR}/include/onnxruntime_c_api.h")
  message(FATAL_ERROR "ONNX Runtime not found in ${ORVELLO_ORT_DIR}: run scripts/setup")
endif()

add_library(orvello_onnxruntime INTERFACE)
add_library(orvello::onnxruntime ALIAS orvello_onnxruntime)
target_include_directories(orvello_onnxruntime SYSTEM INTERFACE "${ORVELLO_ORT_DIR}/include")

if(WIN32)
  # Not linked: the engine loads onnxruntime.dll on first use (engine/ort_library_win.cpp), so
  # the program starts and explains itself when the runtime or what it needs is missing.
  set(ORVELLO_ORT_RUNTIME "${ORVELLO_ORT_DIR}/windows/onnxruntime.dll")
else()
  target_link_libraries(orvello_onnxruntime INTERFACE "${ORVELLO_ORT_DIR}/linux/libonnxruntime.so.1")
  set(ORVELLO_ORT_RUNTIME "${ORVELLO_ORT_DIR}/linux/libonnxruntime.so.1")
  set(CMAKE_BUILD_RPATH "${ORVELLO_ORT_DIR}/linux")
endif()

# Puts the runtime library beside an executable that needs it.
function(orvello_copy_onnxruntime target)
  if(WIN32)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different "${ORVELLO_ORT_RUNTIME}" "$<TARGET_FILE_DIR:${target}>"
      VERBATIM)
  endif()
endfunction()
