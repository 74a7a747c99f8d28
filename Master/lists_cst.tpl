# The central sales tax lists of sales and purchases.

template {kind}_details_{size}.xls
vary kind,KIND sales,SALES purchase,PURCHASE
vary size 500 2000 20000 40000
sheet {KIND} DETAILS
cell A1 Central sales tax: {kind} details
cell A2 Sr No
cell B2 Invoice No
cell C2 Invoice Date
cell D2 CST No
cell E2 Name of Purchaser/Seller
cell F2 State
cell G2 Commodity
cell H2 Taxable Amount
cell I2 CST
cell J2 Total
cell K2 Form
cell L2 Check: Taxable + CST
list 3 {size}
each A =ROW()-{first-1}
each L =H{r}+I{r}
cell B{last+2} Total
cell H{last+2} =SUM(H{first}:H{last+1})
cell I{last+2} =SUM(I{first}:I{last+1})
cell J{last+2} =SUM(J{first}:J{last+1})
cell L{last+2} =SUM(L{first}:L{last+1})

# The macro-driven layout; the trigger row 11 is the blank row under the prepared rows.
template {KIND}_DETAILS_CSV_M.xls
vary kind,KIND sales,SALES purchase,PURCHASE
sheet {KIND} DETAILS
cell A1 Central sales tax: {kind} details
cell B2 CST No
cell B3 Period
cell B4 Year
cell A5 Sr No
cell B5 Invoice No
cell C5 Invoice Date
cell D5 CST No
cell E5 Name of Purchaser/Seller
cell F5 State
cell G5 Commodity
cell H5 Taxable Amount
cell I5 CST
cell J5 Total
cell K5 Form
cell L5 Check: Taxable + CST
list 6 5
each A =ROW()-{first-1}
each L =H{r}+I{r}
cell B{last+2} Total
cell H{last+2} =SUM(H{first}:H{last+1})
cell I{last+2} =SUM(I{first}:I{last+1})
cell J{last+2} =SUM(J{first}:J{last+1})
cell L{last+2} =SUM(L{first}:L{last+1})
