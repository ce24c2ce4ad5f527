function run(n) {
    var sum = 0;
    var acc = 7;
    for (var i = 0; i < n; i++) {
        acc = (acc * 31 + i) % 1000003;
        if (acc > 500000) sum = sum + acc - i;
        else sum = sum - acc + 3;
    }
    return sum % 1000000007 + acc;
}
print(run(SIZE));
