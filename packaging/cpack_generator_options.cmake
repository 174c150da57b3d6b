# Read by cpack once for each generator. A release archive unpacks into one folder of its
# own name; a Debian package's paths start at the root.
if(CPACK_GENERATOR STREQUAL "TGZ")
    set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
