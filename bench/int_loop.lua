local function run(n)
    local sum = 0
    local acc = 7
    for i = 0, n - 1 do
        acc = (acc * 31 + i) % 1000003
        if acc > 500000 then sum = sum + acc - i
        else sum = sum - acc + 3 end
    end
    return math.fmod(sum, 1000000007) + acc
end
print(run(tonumber(arg[1])))
