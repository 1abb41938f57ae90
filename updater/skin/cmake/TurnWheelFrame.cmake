# Writes one frame of the progress wheel: the wheel's SVG with its spinner group turned by ANGLE
# degrees. cmake -DSOURCE=Wheel.svg -DANGLE=30 -DOUTPUT=frame.svg -P TurnWheelFrame.cmake
file(READ "${SOURCE}" svg)
set(marker "rotate(0 16 16)")
string(FIND "${svg}" "${marker}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${SOURCE} has no spinner group turned by \"${marker}\"; the wheel's frames are made by replacing it")
endif()
string(REPLACE "${marker}" "rotate(${ANGLE} 16 16)" svg "${svg}")
file(WRITE "${OUTPUT}" "${svg}")
