var total = 0;
var count = 0;
var limit = SIZE;
var step = 3;
var flip = 0;
for (count = 0; count < limit; count++) {
    total = (total + step * count) % 1000003;
    flip = 1 - flip;
    if (flip) step = step + 1;
    else step = step - 1;
}
print(total + step);
