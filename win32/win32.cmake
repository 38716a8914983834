# The Windows program: the core, the Win32 adapter and its resources, linked
# statically so the exe needs no DLL beyond the system's.
add_executable(vantorel WIN32
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowClass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Registry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GdiSurface.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditorWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Win32Clipboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsDialogWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vantorel.rc
)
target_link_libraries(vantorel PRIVATE vantorel_core comctl32 gdi32 user32 advapi32 shell32 comdlg32 ole32)
target_compile_definitions(vantorel PRIVATE UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
target_compile_options(vantorel PRIVATE ${VANTOREL_WARNINGS})
target_link_options(vantorel PRIVATE -static -municode -mwindows)
set_target_properties(vantorel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
