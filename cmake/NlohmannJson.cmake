# nlohmann JSON from Debian's nlohmann-json3-dev (header only). The Windows
# build must not see the rest of /usr/include, so it gets a folder of its own
# that holds only a link to the library's headers.
if(CMAKE_CROSSCOMPILING)
  set(json_include "${CMAKE_BINARY_DIR}/json-include")
  file(MAKE_DIRECTORY "${json_include}")
  file(CREATE_LINK /usr/include/nlohmann "${json_include}/nlohmann" SYMBOLIC)
  add_library(orvello_nlohmann_json INTERFACE)
  target_include_directories(orvello_nlohmann_json SYSTEM INTERFACE "${json_include}")
  add_library(nlohmann_json::nlohmann_json ALIAS orvello_nlohmann_json)
else()
  find_package(nlohmann_json 3.11 REQUIRED)
endif()
