total = 0
count = 0
limit = tonumber(arg[1])
step = 3
flip = 0
count = 0
while count < limit do
    total = (total + step * count) % 1000003
    flip = 1 - flip
    if flip ~= 0 then step = step + 1
    else step = step - 1 end
    count = count + 1
end
print(total + step)
