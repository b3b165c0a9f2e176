# One static library per source folder. Sources are globbed, so adding a file needs no CMake edit.
# The framework's service folders (core, graphics, display, widgets, assets) link as one group, so
# their static libraries may resolve each other's symbols in any order; their includes still follow
# the layers (see README.md). framework_app (the application object) sits above them and the
# engine above it. The engine's folders below its application objects link as a group of their
# own; engine_app (VTEngine, VTEngine3 and their wiring) sits on top. Nothing links upward.

set(FW_FRAMEWORK_MODULES framework_core framework_graphics framework_display framework_widgets framework_assets)
set(FW_ENGINE_MODULES engine_core engine_scripting engine_widgets engine_effects engine_boards)

# fw_module(<target> [DEPS <targets...>] [PRIVATE_DEPS <targets...>])
function(fw_module name)
    cmake_parse_arguments(M "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
    if(NOT srcs)
        # A folder whose first file has not landed yet still yields a linkable library.
        set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
        file(WRITE ${stub} "// no sources yet\n")
        set(srcs ${stub})
    endif()
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    list(REMOVE_ITEM M_DEPS ${name})
    target_link_libraries(${name} PUBLIC ${M_DEPS} Threads::Threads PRIVATE ${M_PRIVATE_DEPS})
    # The sibling cycles need more than the default two passes when a program pulls a chain such
    # as engine fonts -> assets -> widgets -> graphics.
    set_property(TARGET ${name} PROPERTY LINK_INTERFACE_MULTIPLICITY 3)
endfunction()

# Every module of the framework layer may use the platform, the rasterizer and its sibling folders.
function(fw_framework_module name)
    fw_module(${name} DEPS platform framework_rasterizer ${FW_FRAMEWORK_MODULES} ${ARGN})
endfunction()

# The application object uses every framework service folder.
function(fw_app_module name)
    fw_module(${name} DEPS platform framework_rasterizer ${FW_FRAMEWORK_MODULES} ${ARGN})
endfunction()

# Every engine module may use the whole framework and its sibling engine folders.
function(fw_engine_module name)
    fw_module(${name} DEPS platform framework_rasterizer framework_app ${FW_FRAMEWORK_MODULES} ${FW_ENGINE_MODULES} ${ARGN})
endfunction()

# The engine's application objects stand on every engine folder.
function(fw_engine_app_module name)
    fw_module(${name} DEPS ${FW_ENGINE_MODULES} platform framework_rasterizer framework_app ${FW_FRAMEWORK_MODULES} ${ARGN})
endfunction()
