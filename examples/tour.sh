#!/bin/sh
# A short tour of the law tool. Run from a build directory, or set LAW to the tool's path.
set -e
LAW=${LAW:-law}

echo "== print: read and print in the default syntax"
$LAW print 'sin(x)^2 + 2x'

echo "== eval: at a point, and one point per line of standard input"
$LAW eval 'X*Y' 3 -2
$LAW eval 'SIN(X)' PI/6
printf '1 2\n3 4\n-1 0.5\n' | $LAW eval 'VEC(X+Y, X*Y)' -

echo "== laws that refer to other laws"
$LAW eval 'LAW1*LAW2' --law 'X+1' --law 'LAW1^2' 2

echo "== deriv and simplify"
$LAW deriv 'X^3*SIN(X)'
$LAW deriv 'X^2*Y^3' --wrt 1 --order 2
$LAW simplify 'X*2 + 3X'

echo "== integrate"
$LAW integrate 'ABS(SIN(X))' 0 10*PI
$LAW integrate 'SIN(X)' 0 PI --method romberg --verbose

echo "== roots, solve, min, max, bounds and the zeros of a plane system"
$LAW roots 'SIN(X)' 1 10
$LAW solve 'X^2' 'X+2' -5 5
$LAW min 'ABS(X-0.3)' -1 1
$LAW max 'X*(1-X)' 0 1
$LAW bounds 'X*Y' -1 1 0 2
$LAW roots2d 'VEC(X^2+Y^2-1, X-Y)' -2 2 -2 2

echo "== info"
$LAW info 'SQRT(X)+LN(Y)'

OUT=${OUT:-tour.svg}
echo "== plot"
$LAW plot 'SIN(X)/X' -15 15 --deriv -o "$OUT"
